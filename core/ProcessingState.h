// What one batch run remembers between files: counters, the answer to existing targets,
// the interruption mark, the position in the list and the pure-time stopwatch.
#pragma once

#include "CommonTypes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kvaderon {

// A monotonic millisecond counter.
using TTickSource = std::function<std::uint64_t()>;

std::uint64_t SteadyTickCount();

// Milliseconds as a short Russian text: "<0,1 с", "1,5 с", "59 с", "01:01", "01:02:03".
std::string FormatDuration(double AMilliseconds, char ADecimalSeparator = ',', char ATimeSeparator = ':');

// The answers of the file-exists dialog: 100 + the ordinal of the caption pressed.
enum TExistingFileAction : int {
    efaOverwrite = 100, // "Перезаписать этот файл"
    efaSkip,            // "Пропустить этот файл"
    efaOverwriteAll,    // "Перезаписать ВСЕ файлы"
    efaSkipAll,         // "Пропустить ВСЕ файлы"
    efaAbort,           // "Прервать обработку"
};

class TProcessingState {
public:
    explicit TProcessingState(TTickSource ATickSource = SteadyTickCount);

    void Reset();
    void StartNew(int ATotalFiles);

    void RecordProcessed() { ++FProcessedCount; }
    void RecordSkipped() { ++FSkippedCount; }
    void RecordError() { ++FErrorCount; }

    void Cancel() { FWasCancelled = true; }
    void ResumeFrom(int ANewIndex);

    bool ShouldOverwriteFile(bool AFileExists) const;
    bool ShouldSkipFile(bool AFileExists) const;
    // efaOverwriteAll and efaSkipAll set the batch-wide answer; other codes leave it as it is.
    void SetConflictModeFromAction(int AActionCode);

    void StartTimer();
    void PauseTimer();
    void ResumeTimer();
    void StopTimer() { PauseTimer(); }
    std::uint64_t GetPureTime() const;

    TFileConflictMode ConflictMode() const { return FConflictMode; }
    int ProcessedCount() const { return FProcessedCount; }
    int SkippedCount() const { return FSkippedCount; }
    int ErrorCount() const { return FErrorCount; }
    int TotalCount() const { return FProcessedCount + FSkippedCount + FErrorCount; }
    // Files of the list never attempted: more than 0 when the run ended before the list's end.
    int NotAttemptedCount() const { return FTotalFiles > TotalCount() ? FTotalFiles - TotalCount() : 0; }
    // The share of the list's files attempted, in whole per cent (rounded down).
    int PercentAttempted() const;
    bool WasCancelled() const { return FWasCancelled; }
    int CurrentIndex() const { return FCurrentIndex; }
    void SetCurrentIndex(int AIndex) { FCurrentIndex = AIndex; }
    int TotalFiles() const { return FTotalFiles; }
    std::string PureTimeStr() const { return FormatDuration(double(GetPureTime())); }

private:
    TTickSource FTickSource;
    TFileConflictMode FConflictMode = TFileConflictMode::fcmNone;
    int FProcessedCount = 0;
    int FSkippedCount = 0;
    int FErrorCount = 0;
    bool FWasCancelled = false;
    int FCurrentIndex = 0;
    int FTotalFiles = 0;
    bool FTimerRunning = false;
    std::uint64_t FCurrentTime = 0;
    std::uint64_t FLastStartTime = 0;
};

} // namespace kvaderon
