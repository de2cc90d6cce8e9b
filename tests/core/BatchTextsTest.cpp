#include "BatchTexts.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

// A stopped run with the given counters and pure time.
class TFinishedRun {
public:
    TFinishedRun(int AProcessed, int ASkipped, int AErrors, std::uint64_t AMilliseconds,
                 TFileConflictMode AMode = TFileConflictMode::fcmNone)
        : FState([this] { return FNow; }) {
        FState.StartNew(AProcessed + ASkipped + AErrors + 1);
        FState.StartTimer();
        for (int i = 0; i < AProcessed; ++i)
            FState.RecordProcessed();
        for (int i = 0; i < ASkipped; ++i)
            FState.RecordSkipped();
        for (int i = 0; i < AErrors; ++i)
            FState.RecordError();
        FState.SetConflictMode(AMode);
        FNow = AMilliseconds;
        FState.StopTimer();
    }
    const TProcessingState& State() const { return FState; }

private:
    std::uint64_t FNow = 0;
    TProcessingState FState;
};

TEST(BatchTexts, FinalStatusTextFollowsCountsAndPlurals) {
    const struct {
        int Processed, Skipped, Errors;
        std::uint64_t Milliseconds;
        const char* Text;
    } cases[] = {
        {1, 0, 0, 50, "Готово: обработан 1 файл за <0,1 с"},
        {21, 0, 0, 4200, "Готово: обработан 21 файл за 4,2 с"},
        {12, 0, 0, 30000, "Готово: обработано 12 файлов за 30 с"},
        {0, 0, 0, 0, "Готово: обработано 0 файлов за <0,1 с"},
        {3, 2, 0, 12000, "Готово: обработаны 3, пропущены 2 за 12 с"},
        {1, 21, 0, 12000, "Готово: обработан 1, пропущен 21 за 12 с"},
        {5, 0, 1, 75000, "Готово: обработано 5, пропущено 0, ошибок 1 за 01:15"},
        {2, 3, 11, 1000, "Готово: обработаны 2, пропущены 3, ошибок 11 за 1,0 с"},
    };
    for (const auto& c : cases) {
        const TFinishedRun run(c.Processed, c.Skipped, c.Errors, c.Milliseconds);
        const TTextRuns runs = BuildFinalStatusText(run.State());
        EXPECT_EQ(PlainText(runs), c.Text);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].Role, c.Errors > 0 ? TColorRole::crError : TColorRole::crOK) << c.Text;
    }
}

TEST(BatchTexts, ResultSummaryHasOneVariantPerOutcome) {
    const struct {
        int Processed, Skipped, Errors;
        std::uint64_t Milliseconds;
        const char* Text;
        TColorRole HeadingRole;
    } cases[] = {
        {1, 0, 0, 50,
         "ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!\n\nСТАТИСТИКА:\n✓ Обработано:     1 файл\n▶ Время:          <0,1 с",
         TColorRole::crOK},
        {0, 0, 0, 0,
         "ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!\n\nСТАТИСТИКА:\n✓ Обработано:     0 файлов\n▶ Время:          <0,1 с",
         TColorRole::crOK},
        {3, 2, 0, 12000,
         "ОБРАБОТКА ЗАВЕРШЕНА\n\nСТАТИСТИКА:\n✓ Обработано:     3 файла\n↷ Пропущено:      2 файла\n"
         "▶ Время:          12 с",
         TColorRole::crOK},
        {11, 1, 0, 12000,
         "ОБРАБОТКА ЗАВЕРШЕНА\n\nСТАТИСТИКА:\n✓ Обработано:     11 файлов\n↷ Пропущено:      1 файл\n"
         "▶ Время:          12 с",
         TColorRole::crOK},
        {22, 0, 5, 75000,
         "ОБРАБОТКА ЗАВЕРШЕНА С ОШИБКАМИ\n\nСТАТИСТИКА:\n✓ Обработано:     22 файла\n"
         "↷ Пропущено:      0 файлов\n✗ С ошибками:     5 файлов\n⏰ Время:          01:15",
         TColorRole::crError},
    };
    for (const auto& c : cases) {
        const TFinishedRun run(c.Processed, c.Skipped, c.Errors, c.Milliseconds);
        const TTextRuns runs = BuildResultSummary(run.State());
        EXPECT_EQ(PlainText(runs), c.Text);
        ASSERT_FALSE(runs.empty());
        EXPECT_EQ(runs[0].Role, c.HeadingRole) << c.Text;
        EXPECT_TRUE(runs[0].Bold) << c.Text;
    }
}

TEST(BatchTexts, InterruptionTextNamesTheFileAndTheModeInForce) {
    const std::string statistics =
        "Обработка прервана на файле: scan 7.tif\n\nСТАТИСТИКА:\n✓ Обработано:     4 файла\n"
        "↷ Пропущено:      1 файл\n✗ С ошибками:     0 файлов\n▶ Время:          2,5 с";
    const struct {
        TFileConflictMode Mode;
        std::string Text;
    } cases[] = {
        {TFileConflictMode::fcmNone, statistics},
        {TFileConflictMode::fcmOverwriteAll, statistics + "\n\nТекущий режим: ПЕРЕЗАПИСАТЬ ВСЕ"},
        {TFileConflictMode::fcmSkipAll, statistics + "\n\nТекущий режим: ПРОПУСТИТЬ ВСЕ"},
    };
    for (const auto& c : cases) {
        const TFinishedRun run(4, 1, 0, 2500, c.Mode);
        const TTextRuns runs = BuildInterruptionText(run.State(), "scan 7.tif");
        EXPECT_EQ(PlainText(runs), c.Text);
        EXPECT_EQ(runs.at(1), (TTextRun{"scan 7.tif", TColorRole::crFileName, false}));
    }
}

TEST(BatchTexts, FileNameWithPercentSignIsShownAsItIs) {
    const TFinishedRun run(0, 0, 0, 0);
    EXPECT_EQ(BuildInterruptionText(run.State(), "100%d %s.tif").at(1).Text, "100%d %s.tif");
}

} // namespace
} // namespace kvaderon
