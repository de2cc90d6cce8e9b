#include "ProcessingState.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

TEST(FormatDuration, RowsAndTheirBoundaries) {
    const std::vector<std::pair<double, std::string>> cases = {
        {0, "<0,1 с"},      {99, "<0,1 с"},        {100, "0,1 с"},        {1500, "1,5 с"},        {9960, "10,0 с"},
        {10000, "10 с"},    {59400, "59 с"},       {59600, "60 с"},       {60000, "01:00"},       {61900, "01:01"},
        {3599000, "59:59"}, {3600000, "01:00:00"}, {3723000, "01:02:03"}, {90000000, "01:00:00"},
    };
    for (const auto& [milliseconds, text] : cases)
        EXPECT_EQ(FormatDuration(milliseconds), text) << milliseconds;
}

TEST(FormatDuration, SeparatorsAreParameters) {
    EXPECT_EQ(FormatDuration(1500, '.', '.'), "1.5 с");
    EXPECT_EQ(FormatDuration(3723000, ',', '.'), "01.02.03");
    EXPECT_EQ(FormatDuration(50, '.'), "<0,1 с");
}

class TStopwatchTest : public ::testing::Test {
protected:
    std::uint64_t FNow = 1000000;
    TProcessingState FState{[this] { return FNow; }};
};

TEST_F(TStopwatchTest, CountsOnlyRunningTimeAndIgnoresRepeatedPausesAndResumes) {
    FState.StartTimer();
    FNow += 300;
    FState.PauseTimer();
    FState.PauseTimer();
    FNow += 1000;
    EXPECT_EQ(FState.GetPureTime(), 300u);
    FState.ResumeTimer();
    FNow += 100;
    FState.ResumeTimer();
    FNow += 100;
    EXPECT_EQ(FState.GetPureTime(), 500u);
    FState.StopTimer();
    FNow += 5000;
    EXPECT_EQ(FState.GetPureTime(), 500u);
    EXPECT_EQ(FState.PureTimeStr(), "0,5 с");
    FState.Reset();
    EXPECT_EQ(FState.GetPureTime(), 500u);
    FState.StartTimer();
    EXPECT_EQ(FState.GetPureTime(), 0u);
}

TEST(ProcessingState, CountersConflictModeAndCancel) {
    TProcessingState state;
    EXPECT_EQ(state.TotalCount(), 0);
    EXPECT_FALSE(state.WasCancelled());
    EXPECT_EQ(state.ConflictMode(), TFileConflictMode::fcmNone);

    state.StartNew(7);
    state.RecordProcessed();
    state.RecordProcessed();
    state.RecordSkipped();
    state.RecordError();
    EXPECT_EQ(state.TotalFiles(), 7);
    EXPECT_EQ(state.ProcessedCount(), 2);
    EXPECT_EQ(state.TotalCount(), 4);

    for (int code : {100, 101, 104, 2})
        state.SetConflictModeFromAction(code);
    EXPECT_EQ(state.ConflictMode(), TFileConflictMode::fcmNone);
    state.SetConflictModeFromAction(102);
    EXPECT_EQ(state.ConflictMode(), TFileConflictMode::fcmOverwriteAll);
    EXPECT_TRUE(state.ShouldOverwriteFile(true));
    EXPECT_FALSE(state.ShouldSkipFile(true));
    state.SetConflictModeFromAction(103);
    EXPECT_EQ(state.ConflictMode(), TFileConflictMode::fcmSkipAll);
    EXPECT_FALSE(state.ShouldOverwriteFile(true));
    EXPECT_TRUE(state.ShouldSkipFile(true));
    EXPECT_TRUE(state.ShouldOverwriteFile(false));
    EXPECT_FALSE(state.ShouldSkipFile(false));

    state.Cancel();
    EXPECT_TRUE(state.WasCancelled());
    state.ResumeFrom(3);
    EXPECT_FALSE(state.WasCancelled());
    EXPECT_EQ(state.CurrentIndex(), 3);

    state.StartNew(2);
    EXPECT_EQ(state.TotalCount(), 0);
    EXPECT_EQ(state.ConflictMode(), TFileConflictMode::fcmNone);
    EXPECT_EQ(state.CurrentIndex(), 0);
}

} // namespace
} // namespace kvaderon
