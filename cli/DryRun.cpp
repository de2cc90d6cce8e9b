#include "DryRun.h"

#include "FileStep.h"
#include "InputFiles.h"
#include "OutcomeLine.h"
#include "PathText.h"
#include "RunJson.h"
#include "StandardOutput.h"
#include "TargetPath.h"
#include "TerminalText.h"
#include "TextFormat.h"
#include "TiffInverterSingleThread.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace kvaderon::cli {

namespace fs = std::filesystem;

namespace {

struct TPlannedFile {
    TFileReport Report; // Outcome, Overwritten, Refused and Reason as a run would give them
    std::string Message;
};

TPlannedFile PlanFile(TTIFFInverterSingle& AInverter, const TFileTask& ATask, bool ATargetExists, bool AOverwrite) {
    TPlannedFile planned;
    if (!ATask.Error.empty()) {
        planned.Report.Outcome = TFileOutcome::foError;
        planned.Report.Refused = true;
        planned.Report.Reason = planned.Message = ATask.Error;
        return planned;
    }
    const std::string target = PathToUtf8(ATask.Target);
    if (ATargetExists && !AOverwrite) {
        planned.Report.Outcome = TFileOutcome::foSkipped;
        planned.Message = FormatText("будет пропущен, файл назначения уже существует: %s", {target});
        return planned;
    }
    try {
        AInverter.CheckInput(ATask.Input, ATask.Target);
        planned.Report.Overwritten = ATargetExists;
        planned.Message = FormatText(ATargetExists ? "будет перезаписан: %s" : "будет записан: %s", {target});
    } catch (const std::exception& error) {
        planned.Report.Outcome = TFileOutcome::foError;
        planned.Report.Refused = dynamic_cast<const EInputRefused*>(&error) != nullptr;
        planned.Report.Reason = error.what();
        planned.Message = error.what();
    }
    return planned;
}

// The destination as a run would find it: a folder that cannot be made is the run's refusal on
// standard error, a folder refusing new files the one line a run would end with. True when a run
// would write there.
bool CheckDestination(kvaderon::platform::TFileSystem& AFileSystem, const fs::path& AOutputFolder, bool AJson,
                      bool AColored) {
    const std::string refusal = DestinationRefusal(AFileSystem, AOutputFolder);
    if (refusal.empty())
        return true;
    if (refusal == InvalidOutputFolderText) {
        std::fprintf(stderr, "%s\n", InvalidOutputFolderText);
        return false;
    }
    WriteStandardOutput(AJson ? DryRunJson({AOutputFolder, {}, {}}, "failed", refusal, AFileSystem) + "\n"
                              : RenderRuns(BuildOutcomeLine(1, LocalTimeText(std::time(nullptr)),
                                                            PathToUtf8(AOutputFolder.filename()), refusal, true),
                                           AColored));
    return false;
}

} // namespace

int RunDryRun(kvaderon::platform::TFileSystem& AFileSystem, const fs::path& AOutputFolder,
              const std::vector<TFileTask>& ATasks, bool AOverwrite, bool AJson, bool AColored) {
    const bool anyToWrite =
        std::any_of(ATasks.begin(), ATasks.end(), [](const TFileTask& ATask) { return ATask.Error.empty(); });
    if (anyToWrite && !CheckDestination(AFileSystem, AOutputFolder, AJson, AColored))
        return 1;
    TTIFFInverterSingle inverter(AFileSystem);
    TInvertTotals totals;
    for (std::size_t i = 0; i < ATasks.size(); ++i) {
        const TFileTask& task = ATasks[i];
        const bool exists = task.Error.empty() && IsOtherExistingFile(task.Input, task.Target, AFileSystem);
        const TPlannedFile planned = PlanFile(inverter, task, exists, AOverwrite);
        totals.Add(planned.Report);
        const bool failed = planned.Report.Outcome == TFileOutcome::foError;
        const std::string text =
            AJson ? DryRunJson(task, OutcomeName(planned.Report), planned.Report.Reason, AFileSystem) + "\n"
                  : RenderRuns(BuildOutcomeLine(int(i + 1), LocalTimeText(std::time(nullptr)),
                                                PathToUtf8(task.Input.filename()), planned.Message, failed),
                               AColored);
        if (!WriteStandardOutput(text))
            return 1;
    }
    const std::string closing =
        AJson ? TotalsJson(totals, 0) + "\n"
              : FormatText("\nПробный запуск, ничего не изменено: будет записано %s, перезаписано %s, "
                           "пропущено %s, отклонено %s, ошибок %s\n",
                           {std::to_string(totals.Written), std::to_string(totals.Overwritten),
                            std::to_string(totals.Skipped), std::to_string(totals.Refused),
                            std::to_string(totals.Failed)});
    if (!WriteStandardOutput(closing))
        return 1;
    return totals.Refused + totals.Failed == 0 ? 0 : 1;
}

} // namespace kvaderon::cli
