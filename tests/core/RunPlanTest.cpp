// A batch run through the engine's run plan and per-file step, over the table of layouts in which
// a run must never lose or double a file: each entry's outcome, the negatives untouched, and every
// positive the inverse of its own negative.
#include "RunPlan.h"

#include "FileStep.h"
#include "PathText.h"
#include "RunLayouts.h"
#include "TempDir.h"
#include "TiffInverterSingleThread.h"
#include "platform/SystemError.h"

#include <gtest/gtest.h>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

// The system's files, but for one folder whose listing fails and one that refuses new files, as a
// folder without permissions does for a user other than the superuser.
class TLayoutFileSystem final : public platform::TFileSystem {
public:
    fs::path Unreadable;
    fs::path ReadOnly;

    std::unique_ptr<platform::TFile> OpenRead(const fs::path& APath) override { return FSystem.OpenRead(APath); }
    std::unique_ptr<platform::TFile> CreateNew(const fs::path& APath, std::uint32_t APermissions) override {
        RefuseBelowReadOnly(APath);
        return FSystem.CreateNew(APath, APermissions);
    }
    std::unique_ptr<platform::TFile> OpenLocked(const fs::path& APath) override {
        RefuseBelowReadOnly(APath);
        return FSystem.OpenLocked(APath);
    }
    void Rename(const fs::path& AFrom, const fs::path& ATo, platform::TRenameMode AMode) override {
        FSystem.Rename(AFrom, ATo, AMode);
    }
    void Remove(const fs::path& APath) override { FSystem.Remove(APath); }
    void CreateFolders(const fs::path& APath) override {
        RefuseBelowReadOnly(APath);
        FSystem.CreateFolders(APath);
    }
    std::vector<platform::TFolderEntry> ListFolder(const fs::path& APath) override {
        if (!Unreadable.empty() && APath == Unreadable)
            platform::ThrowSystemError("Не удалось прочитать папку " + PathToUtf8(APath),
                                       std::make_error_code(std::errc::permission_denied));
        return FSystem.ListFolder(APath);
    }

private:
    void RefuseBelowReadOnly(const fs::path& APath) {
        if (!ReadOnly.empty() && PathToUtf8(APath).starts_with(PathToUtf8(ReadOnly / "")))
            platform::ThrowSystemError("", std::make_error_code(std::errc::permission_denied));
    }
    platform::TFileSystem& FSystem = platform::SystemFileSystem();
};

struct TCoreRun {
    std::vector<TRunEntry> Plan;
    std::vector<TFileReport> Reports; // up to the file the run ended at
    int ExitStatus = 0;
};

// The run as both programs make it: the plan, then each file in turn until one ends the run; an
// existing target is overwritten only when asked for.
TCoreRun RunThroughCore(const fs::path& ARoot, const TRunLayout& ALayout, platform::TFileSystem& AFiles) {
    std::vector<fs::path> inputs;
    for (const std::string& input : ALayout.Inputs)
        inputs.push_back(ARoot / Utf8ToPath(input));
    TCoreRun run;
    run.Plan = PlanRun(inputs, ARoot / Utf8ToPath(ALayout.Destination), "! ", "", AFiles);
    TFileStep step;
    step.AskExistingTarget = [&](const fs::path&) {
        return ALayout.Overwrite ? TExistingTargetChoice::etcOverwriteAll : TExistingTargetChoice::etcKeepExisting;
    };
    TTIFFInverterSingle inverter(AFiles);
    for (const TRunEntry& entry : run.Plan) {
        run.Reports.push_back(InvertRunEntry(inverter, AFiles, entry, step));
        if (run.Reports.back().Outcome == TFileOutcome::foError)
            run.ExitStatus = 1;
        if (run.Reports.back().DestinationRefused)
            break;
    }
    return run;
}

void ExpectOutcome(const fs::path& ARoot, const TRunLayout& ALayout, const TLayoutExpectation& AExpected,
                   const TRunEntry& AEntry, const TFileReport* AReport) {
    SCOPED_TRACE(AExpected.Input);
    EXPECT_EQ(AEntry.Input, ARoot / Utf8ToPath(AExpected.Input));
    if (AExpected.Outcome == TLayoutOutcome::loNotAttempted) {
        EXPECT_EQ(AReport, nullptr);
        return;
    }
    ASSERT_NE(AReport, nullptr);
    const TFileReport& report = *AReport;
    const std::string input = PathToUtf8(ARoot / Utf8ToPath(AExpected.Input));
    switch (AExpected.Outcome) {
    case TLayoutOutcome::loWritten:
    case TLayoutOutcome::loOverwritten:
        EXPECT_EQ(report.Outcome, TFileOutcome::foProcessed) << report.Reason;
        EXPECT_EQ(report.Overwritten, AExpected.Outcome == TLayoutOutcome::loOverwritten);
        EXPECT_EQ(AEntry.Target, ARoot / Utf8ToPath(AExpected.Target));
        EXPECT_TRUE(HoldsPositive(ARoot, ALayout, AExpected.Input, AExpected.Target));
        break;
    case TLayoutOutcome::loKept:
        EXPECT_EQ(report.Outcome, TFileOutcome::foSkipped) << report.Reason;
        ASSERT_EQ(report.Lines.size(), 1u);
        EXPECT_EQ(report.Lines[0].Message, "Пропущен: файл назначения уже существует");
        EXPECT_EQ(AEntry.Target, ARoot / Utf8ToPath(AExpected.Target));
        EXPECT_TRUE(HoldsPositive(ARoot, ALayout, AExpected.Input, AExpected.Target));
        break;
    case TLayoutOutcome::loShared:
        EXPECT_EQ(NativeSeparators(report.Reason),
                  NativeSeparators(SharedTargetText + PathToUtf8(ARoot / Utf8ToPath(AExpected.Target))));
        break;
    case TLayoutOutcome::loNoTiff:
        EXPECT_EQ(report.Reason, NoTiffFilesText + input);
        break;
    case TLayoutOutcome::loUnreadable:
        EXPECT_NE(NativeSeparators(report.Reason).find(NativeSeparators("Не удалось прочитать папку " + input)),
                  std::string::npos)
            << report.Reason;
        break;
    case TLayoutOutcome::loDestination:
        EXPECT_TRUE(report.DestinationRefused);
        EXPECT_TRUE(report.Reason.starts_with("Папка назначения недоступна для записи: ")) << report.Reason;
        EXPECT_EQ(report.Lines.size(), 1u);
        break;
    case TLayoutOutcome::loNotAttempted:
        break;
    }
    if (AExpected.Outcome != TLayoutOutcome::loWritten && AExpected.Outcome != TLayoutOutcome::loOverwritten &&
        AExpected.Outcome != TLayoutOutcome::loKept) {
        EXPECT_EQ(report.Outcome, TFileOutcome::foError);
        ASSERT_FALSE(report.Lines.empty());
        EXPECT_TRUE(report.Lines.back().IsError);
    }
}

TEST(RunPlanTest, NoLayoutLosesOrDoublesAFile) {
    for (const TRunLayout& layout : RunLayouts()) {
        SCOPED_TRACE(layout.Name);
        TTempDir temp;
        MakeLayout(temp.Path(), layout);
        TLayoutFileSystem files;
        if (!layout.Unreadable.empty())
            files.Unreadable = temp.Path() / Utf8ToPath(layout.Unreadable);
        if (!layout.ReadOnly.empty())
            files.ReadOnly = temp.Path() / Utf8ToPath(layout.ReadOnly);
        TCoreRun run;
        for (int i = 0; i < layout.Runs; ++i)
            run = RunThroughCore(temp.Path(), layout, files);
        EXPECT_EQ(run.ExitStatus, layout.ExitStatus);
        EXPECT_TRUE(NegativesUntouched(temp.Path(), layout));
        ASSERT_EQ(run.Plan.size(), layout.Expected.size());
        for (std::size_t i = 0; i < run.Plan.size(); ++i)
            ExpectOutcome(temp.Path(), layout, layout.Expected[i], run.Plan[i],
                          i < run.Reports.size() ? &run.Reports[i] : nullptr);
    }
}

} // namespace
} // namespace kvaderon::test
