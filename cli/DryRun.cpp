#include "DryRun.h"

#include "OutcomeLine.h"
#include "PathText.h"
#include "RunJson.h"
#include "StandardOutput.h"
#include "TargetPath.h"
#include "TerminalText.h"
#include "TextFormat.h"
#include "TiffInverterSingleThread.h"

#include <ctime>
#include <set>

namespace kvaderon::cli {

namespace {

struct TPlannedFile {
    TFileReport Report; // Outcome, Overwritten, Refused and Reason as a run would give them
    std::string Message;
};

TPlannedFile PlanFile(TTIFFInverterSingle& AInverter, const TFileTask& ATask, bool ATargetExists, bool AOverwrite) {
    TPlannedFile planned;
    const std::string target = PathToUtf8(ATask.Target);
    if (ATargetExists && !AOverwrite) {
        planned.Report.Outcome = TFileOutcome::foSkipped;
        planned.Message = FormatText("будет пропущен, файл уже есть: %s", {target});
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

} // namespace

int RunDryRun(kvaderon::platform::TFileSystem& AFileSystem, const std::vector<TFileTask>& ATasks, bool AOverwrite,
              bool AJson, bool AColored) {
    TTIFFInverterSingle inverter(AFileSystem);
    std::set<std::string> targetsOfRun; // a later file finds the target an earlier one would write
    TInvertTotals totals;
    for (std::size_t i = 0; i < ATasks.size(); ++i) {
        const TFileTask& task = ATasks[i];
        const std::string key = PathComparisonKey(task.Target, AFileSystem);
        const bool exists = targetsOfRun.count(key) > 0 || IsOtherExistingFile(task.Input, task.Target, AFileSystem);
        const TPlannedFile planned = PlanFile(inverter, task, exists, AOverwrite);
        if (planned.Report.Outcome == TFileOutcome::foProcessed)
            targetsOfRun.insert(key);
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
