#include "ProcessingState.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <utility>

namespace kvaderon {

std::uint64_t SteadyTickCount() {
    using namespace std::chrono;
    return std::uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {

std::string FormatSeconds(const char* AFormat, double ASeconds, char ADecimalSeparator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, AFormat, ASeconds);
    std::string text = buffer;
    for (char& c : text)
        if (c == '.')
            c = ADecimalSeparator;
    return text + " с";
}

std::string TwoDigits(std::uint64_t AValue) {
    std::string text(AValue < 10 ? 1 : 0, '0');
    text += std::to_string(AValue);
    return text;
}

} // namespace

std::string FormatDuration(double AMilliseconds, char ADecimalSeparator, char ATimeSeparator) {
    // The rows are chosen on the milliseconds: a quotient compared with 0.1 can land on either
    // side of it where the compiler keeps extended precision (32-bit x87 code).
    const double seconds = AMilliseconds / 1000.0;
    if (AMilliseconds < 100)
        return "<0,1 с";
    if (AMilliseconds < 10000)
        return FormatSeconds("%.1f", seconds, ADecimalSeparator);
    if (AMilliseconds < 60000)
        return FormatSeconds("%.0f", seconds, ADecimalSeparator);
    // A time of day: whole milliseconds, the fraction of a second dropped, hours within a day.
    const auto wholeSeconds = std::uint64_t(std::llround(AMilliseconds)) / 1000;
    const std::string minutesAndSeconds =
        TwoDigits(wholeSeconds / 60 % 60) + ATimeSeparator + TwoDigits(wholeSeconds % 60);
    if (AMilliseconds < 3600000)
        return minutesAndSeconds;
    return TwoDigits(wholeSeconds / 3600 % 24) + ATimeSeparator + minutesAndSeconds;
}

TProcessingState::TProcessingState(TTickSource ATickSource) : FTickSource(std::move(ATickSource)) {
    Reset();
}

void TProcessingState::Reset() {
    FConflictMode = TFileConflictMode::fcmNone;
    FProcessedCount = 0;
    FSkippedCount = 0;
    FErrorCount = 0;
    FWasCancelled = false;
    FCurrentIndex = 0;
    FTotalFiles = 0;
}

void TProcessingState::StartNew(int ATotalFiles) {
    Reset();
    FTotalFiles = ATotalFiles;
}

void TProcessingState::ResumeFrom(int ANewIndex) {
    FCurrentIndex = ANewIndex;
    FWasCancelled = false;
}

int TProcessingState::PercentAttempted() const {
    if (FTotalFiles <= 0)
        return 100;
    return int(std::int64_t(TotalCount()) * 100 / FTotalFiles);
}

bool TProcessingState::ShouldOverwriteFile(bool AFileExists) const {
    return !AFileExists || FConflictMode == TFileConflictMode::fcmOverwriteAll;
}

bool TProcessingState::ShouldSkipFile(bool AFileExists) const {
    return AFileExists && FConflictMode == TFileConflictMode::fcmSkipAll;
}

void TProcessingState::SetConflictModeFromAction(int AActionCode) {
    if (AActionCode == efaOverwriteAll)
        FConflictMode = TFileConflictMode::fcmOverwriteAll;
    else if (AActionCode == efaSkipAll)
        FConflictMode = TFileConflictMode::fcmSkipAll;
}

void TProcessingState::StartTimer() {
    FCurrentTime = 0;
    FLastStartTime = FTickSource();
    FTimerRunning = true;
}

void TProcessingState::PauseTimer() {
    if (!FTimerRunning)
        return;
    FCurrentTime += FTickSource() - FLastStartTime;
    FTimerRunning = false;
}

void TProcessingState::ResumeTimer() {
    if (FTimerRunning)
        return;
    FLastStartTime = FTickSource();
    FTimerRunning = true;
}

std::uint64_t TProcessingState::GetPureTime() const {
    return FTimerRunning ? FCurrentTime + (FTickSource() - FLastStartTime) : FCurrentTime;
}

} // namespace kvaderon
