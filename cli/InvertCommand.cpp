#include "InvertCommand.h"

#include "BatchTexts.h"
#include "DryRun.h"
#include "InputFiles.h"
#include "OutcomeLine.h"
#include "PathText.h"
#include "ProcessingState.h"
#include "RunJson.h"
#include "RunPlan.h"
#include "RunStatus.h"
#include "StandardOutput.h"
#include "TerminalText.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace kvaderon::cli {

namespace fs = std::filesystem;

namespace {

bool PrepareOutputFolder(const fs::path& AFolder, kvaderon::platform::TFileSystem& AFileSystem) {
    try {
        if (CreateOutputFolder(AFolder, AFileSystem))
            return true;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n%s\n", InvalidOutputFolderText, EscapeControls(error.what(), true).c_str());
        return false;
    }
    std::fprintf(stderr, "%s\n", InvalidOutputFolderText);
    return false;
}

void RecordOutcome(TProcessingState& AState, TFileOutcome AOutcome) {
    switch (AOutcome) {
    case TFileOutcome::foProcessed:
        AState.RecordProcessed();
        break;
    case TFileOutcome::foSkipped:
        AState.RecordSkipped();
        break;
    case TFileOutcome::foError:
        AState.RecordError();
        break;
    }
}

std::string ReportText(const TFileReport& AReport, int ANumber, bool AColored) {
    std::string lines;
    for (const auto& line : AReport.Lines)
        lines += RenderRuns(
            BuildOutcomeLine(ANumber, LocalTimeText(line.Time), line.FileName, line.Message, line.IsError), AColored);
    return lines;
}

std::string ClosingText(const TProcessingState& AState, bool AColored) {
    std::string closing = "\n";
    closing += RenderRuns(BuildResultSummary(AState), AColored);
    closing += "\n\n";
    closing += RenderRuns(BuildFinalStatusText(AState), AColored);
    closing += "\n";
    return closing;
}

} // namespace

std::vector<TFileTask> PlanTasks(const TCommandLine& ALine, const fs::path& AOutputFolder) {
    std::vector<fs::path> paths;
    for (const std::string& file : ALine.Files)
        paths.push_back(Utf8ToPath(file));
    return PlanRun(paths, AOutputFolder, ALine.Prefix, ALine.Postfix);
}

TFileStep CommandLineStep(const TCommandLine& ALine) {
    TFileStep step;
    step.Options.Verify = ALine.Verify;
    step.Checksums = ALine.Checksums;
    step.Options.HashInput = ALine.Checksums && ALine.Json; // the negative's digest is only reported
    step.AskExistingTarget = [overwrite = ALine.Overwrite](const fs::path&) {
        return overwrite ? TExistingTargetChoice::etcOverwriteAll : TExistingTargetChoice::etcKeepExisting;
    };
    return step;
}

int RunInvert(const TCommandLine& ALine, bool AColored) {
    kvaderon::platform::TFileSystem& files = kvaderon::platform::SystemFileSystem();
    const fs::path outputFolder = Utf8ToPath(ALine.OutputFolder);
    const std::vector<TFileTask> tasks = PlanTasks(ALine, outputFolder);
    if (ALine.DryRun)
        return RunDryRun(files, outputFolder, tasks, ALine.Overwrite, ALine.Json, AColored);
    const bool anyToWrite =
        std::any_of(tasks.begin(), tasks.end(), [](const TFileTask& ATask) { return ATask.Error.empty(); });
    if (anyToWrite && !PrepareOutputFolder(outputFolder, files))
        return 1;

    TProcessingState state;
    state.StartNew(int(tasks.size()));
    state.StartTimer();
    const unsigned jobs = ALine.Jobs > 0 ? ALine.Jobs : std::max(1u, std::thread::hardware_concurrency());
    TFileBatch batch(files, tasks, CommandLineStep(ALine), jobs, ALine.InvertPreviews);
    TInvertTotals totals;
    bool outputWorks = true;
    bool destinationRefused = false;
    const std::size_t started = batch.Run([&](std::size_t AIndex, const TFileReport& AReport) {
        state.SetCurrentIndex(int(AIndex));
        const TFileReport& report = AReport;
        destinationRefused = report.DestinationRefused;
        if (!destinationRefused)
            RecordOutcome(state, report.Outcome);
        totals.Add(report);
        outputWorks = WriteStandardOutput(ALine.Json ? FileReportJson(tasks[AIndex], report, files) + "\n"
                                                     : ReportText(report, state.CurrentIndex() + 1, AColored));
        return outputWorks && !destinationRefused;
    });
    state.StopTimer();
    if (!outputWorks) {
        // No summary where the output is gone; standard error tells that the list was not done.
        if (started < tasks.size())
            std::fputs(PlainText(BuildInterruptedRunLine(int(tasks.size() - started))).c_str(), stderr);
        return 1;
    }

    std::string closing;
    if (ALine.Json)
        closing = TotalsJson(totals, double(state.GetPureTime()) / 1000) + "\n";
    else if (state.NotAttemptedCount() > 0)
        closing =
            RenderRuns(BuildInterruptedRunLine(state.NotAttemptedCount()), AColored) + ClosingText(state, AColored);
    else
        closing = ClosingText(state, AColored);
    if (!WriteStandardOutput(closing))
        return 1;
    return totals.Status.Code();
}

} // namespace kvaderon::cli
