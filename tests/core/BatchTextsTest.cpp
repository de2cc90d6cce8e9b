#include "BatchTexts.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

// A stopped run with the given counters and pure time; ANotAttempted files of its list were never
// reached.
class TFinishedRun {
public:
    TFinishedRun(int AProcessed, int ASkipped, int AErrors, std::uint64_t AMilliseconds,
                 TFileConflictMode AMode = TFileConflictMode::fcmNone, int ANotAttempted = 0)
        : FState([this] { return FNow; }) {
        FState.StartNew(AProcessed + ASkipped + AErrors + ANotAttempted);
        FState.StartTimer();
        for (int i = 0; i < AProcessed; ++i)
            FState.RecordProcessed();
        for (int i = 0; i < ASkipped; ++i)
            FState.RecordSkipped();
        for (int i = 0; i < AErrors; ++i)
            FState.RecordError();
        if (AMode == TFileConflictMode::fcmOverwriteAll)
            FState.SetConflictModeFromAction(efaOverwriteAll);
        if (AMode == TFileConflictMode::fcmSkipAll)
            FState.SetConflictModeFromAction(efaSkipAll);
        FNow = AMilliseconds;
        FState.StopTimer();
    }
    const TProcessingState& State() const { return FState; }

private:
    std::uint64_t FNow = 0;
    TProcessingState FState;
};

TEST(BatchTexts, FinalStatusTextFollowsCountsAndPlurals) {
    const TColorRole ok = TColorRole::crOK, warning = TColorRole::crWarning, error = TColorRole::crError;
    const struct {
        int Processed, Skipped, Errors, NotAttempted;
        std::uint64_t Milliseconds;
        const char* Text;
        TColorRole Role;
    } cases[] = {
        {1, 0, 0, 0, 50, "Готово: обработан 1 файл за <0,1 с", ok},
        {21, 0, 0, 0, 4200, "Готово: обработан 21 файл за 4,2 с", ok},
        {12, 0, 0, 0, 30000, "Готово: обработано 12 файлов за 30 с", ok},
        {0, 0, 0, 0, 0, "Готово: обработано 0 файлов за <0,1 с", ok},
        {3, 2, 0, 0, 12000, "Готово: обработаны 3, пропущены 2 за 12 с", ok},
        {1, 21, 0, 0, 12000, "Готово: обработан 1, пропущен 21 за 12 с", ok},
        {5, 0, 1, 0, 75000, "Готово: обработано 5, пропущено 0, ошибок 1 за 01:15", error},
        {2, 3, 11, 0, 1000, "Готово: обработаны 2, пропущены 3, ошибок 11 за 1,0 с", error},
        {9, 0, 0, 2, 1000, "Прервано: обработано 9, не обработано 2 за 1,0 с", warning},
        {0, 0, 0, 3, 0, "Прервано: обработано 0, не обработано 3 за <0,1 с", warning},
        {1, 1, 0, 1, 0, "Прервано: обработан 1, пропущен 1, не обработано 1 за <0,1 с", warning},
        {2, 0, 1, 5, 0, "Прервано: обработаны 2, пропущено 0, ошибок 1, не обработано 5 за <0,1 с", error},
    };
    for (const auto& c : cases) {
        const TFinishedRun run(c.Processed, c.Skipped, c.Errors, c.Milliseconds, TFileConflictMode::fcmNone,
                               c.NotAttempted);
        const TTextRuns runs = BuildFinalStatusText(run.State());
        EXPECT_EQ(PlainText(runs), c.Text);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].Role, c.Role) << c.Text;
    }
}

TEST(BatchTexts, ResultSummaryHasOneVariantPerOutcome) {
    const struct {
        int Processed, Skipped, Errors;
        std::uint64_t Milliseconds;
        const char* Text;
        TColorRole HeadingRole;
        int NotAttempted = 0;
    } cases[] = {
        {1, 0, 0, 50, "ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!\n\nСТАТИСТИКА:\n✓ Обработано:     1 файл\n▶ Время:          <0,1 с",
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
        // Ended before the list's end: this heading whatever the counters, every count listed.
        {9, 0, 0, 1000,
         "ОБРАБОТКА ПРЕРВАНА\n\nСТАТИСТИКА:\n✓ Обработано:     9 файлов\n↷ Пропущено:      0 файлов\n"
         "✗ С ошибками:     0 файлов\n⏹ Не обработано:  2 файла\n▶ Время:          1,0 с",
         TColorRole::crWarning, 2},
        {0, 0, 0, 0,
         "ОБРАБОТКА ПРЕРВАНА\n\nСТАТИСТИКА:\n✓ Обработано:     0 файлов\n↷ Пропущено:      0 файлов\n"
         "✗ С ошибками:     0 файлов\n⏹ Не обработано:  1 файл\n▶ Время:          <0,1 с",
         TColorRole::crWarning, 1},
        {1, 2, 1, 0,
         "ОБРАБОТКА ПРЕРВАНА\n\nСТАТИСТИКА:\n✓ Обработано:     1 файл\n↷ Пропущено:      2 файла\n"
         "✗ С ошибками:     1 файл\n⏹ Не обработано:  21 файл\n⏰ Время:          <0,1 с",
         TColorRole::crError, 21},
    };
    for (const auto& c : cases) {
        const TFinishedRun run(c.Processed, c.Skipped, c.Errors, c.Milliseconds, TFileConflictMode::fcmNone,
                               c.NotAttempted);
        const TTextRuns runs = BuildResultSummary(run.State());
        EXPECT_EQ(PlainText(runs), c.Text);
        ASSERT_FALSE(runs.empty());
        EXPECT_EQ(runs[0].Role, c.HeadingRole) << c.Text;
        EXPECT_TRUE(runs[0].Bold) << c.Text;
    }
}

TEST(BatchTexts, InterruptedRunLineCountsTheFilesNeverAttempted) {
    for (const auto& [notAttempted, text] : {std::pair{1, "Обработка прервана: не обработано 1 файл\n"},
                                             std::pair{2, "Обработка прервана: не обработано 2 файла\n"},
                                             std::pair{11, "Обработка прервана: не обработано 11 файлов\n"}}) {
        const TFinishedRun run(3, 1, 1, 0, TFileConflictMode::fcmNone, notAttempted);
        EXPECT_EQ(run.State().NotAttemptedCount(), notAttempted);
        EXPECT_EQ(BuildInterruptedRunLine(notAttempted), (TTextRuns{{text, TColorRole::crWarning, true}}));
        EXPECT_EQ(run.State().PercentAttempted(), 5 * 100 / (5 + notAttempted)) << notAttempted;
    }
}

TEST(BatchTexts, InterruptionTextNamesTheFileAndTheModeInForce) {
    const std::string statistics = "Обработка прервана на файле: scan 7.tif\n\nСТАТИСТИКА:\n✓ Обработано:     4 файла\n"
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
