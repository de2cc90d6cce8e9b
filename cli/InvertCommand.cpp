#include "InvertCommand.h"

#include "BatchTexts.h"
#include "FileBatch.h"
#include "OutcomeLine.h"
#include "PathText.h"
#include "ProcessingState.h"
#include "StandardOutput.h"
#include "TargetPath.h"
#include "TerminalText.h"
#include "platform/FileOperations.h"

#include <cstdio>
#include <thread>

namespace kvaderon::cli {

namespace fs = std::filesystem;

namespace {

bool PrepareOutputFolder(const fs::path& AFolder) {
    try {
        kvaderon::platform::CreateFolders(AFolder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Неверная папка для сохранения\n%s\n", EscapeControls(error.what(), true).c_str());
        return false;
    }
    std::error_code error;
    if (fs::is_directory(AFolder, error))
        return true;
    std::fprintf(stderr, "Неверная папка для сохранения\n");
    return false;
}

std::vector<TFileTask> PlanTasks(const TCommandLine& ALine, const fs::path& AOutputFolder) {
    std::vector<TFileTask> tasks;
    for (const auto& file : ALine.Files) {
        const fs::path input = Utf8ToPath(file);
        tasks.push_back({input, TargetPathFor(input, AOutputFolder, ALine.Prefix, ALine.Postfix)});
    }
    return tasks;
}

void RecordOutcome(TProcessingState& AState, TFileOutcome AOutcome) {
    switch (AOutcome) {
    case TFileOutcome::foProcessed: AState.RecordProcessed(); break;
    case TFileOutcome::foSkipped: AState.RecordSkipped(); break;
    case TFileOutcome::foError: AState.RecordError(); break;
    }
}

} // namespace

int RunInvert(const TCommandLine& ALine, bool AColored) {
    const fs::path outputFolder = Utf8ToPath(ALine.OutputFolder);
    if (!PrepareOutputFolder(outputFolder))
        return 1;

    TProcessingState state;
    state.StartNew(int(ALine.Files.size()));
    state.StartTimer();
    const unsigned jobs = ALine.Jobs > 0 ? ALine.Jobs : std::max(1u, std::thread::hardware_concurrency());
    TFileBatch batch(PlanTasks(ALine, outputFolder), ALine.Overwrite, jobs, ALine.InvertPreviews);
    bool outputWorks = true;
    const std::size_t started = batch.Run([&](std::size_t AIndex, const TFileReport& AReport) {
        state.SetCurrentIndex(int(AIndex));
        std::string lines;
        for (const auto& line : AReport.Lines)
            lines += RenderRuns(BuildOutcomeLine(state.CurrentIndex() + 1, LocalTimeText(line.Time), line.FileName,
                                                 line.Message, line.IsError),
                                AColored);
        RecordOutcome(state, AReport.Outcome);
        outputWorks = WriteStandardOutput(lines);
        return outputWorks;
    });
    state.StopTimer();
    if (!outputWorks) {
        // No summary where the output is gone; standard error tells that the list was not done.
        if (started < ALine.Files.size())
            std::fputs(PlainText(BuildInterruptedRunLine(int(ALine.Files.size() - started))).c_str(), stderr);
        return 1;
    }

    std::string closing = "\n";
    closing += RenderRuns(BuildResultSummary(state), AColored);
    closing += "\n\n";
    closing += RenderRuns(BuildFinalStatusText(state), AColored);
    closing += "\n";
    if (!WriteStandardOutput(closing))
        return 1;
    return state.ErrorCount() == 0 ? 0 : 1;
}

} // namespace kvaderon::cli
