#include "RunJson.h"

#include "JsonObject.h"
#include "PathText.h"

namespace kvaderon::cli {

namespace {

void AddSize(TJsonObject& AJson, const char* AKey, kvaderon::platform::TFileSystem& AFileSystem,
             const std::filesystem::path& AFile) {
    if (const auto size = AFileSystem.FileSize(AFile))
        AJson.Add(AKey, *size);
}

} // namespace

std::string OutcomeName(const TFileReport& AReport) {
    switch (AReport.Outcome) {
    case TFileOutcome::foProcessed:
        return AReport.Overwritten ? "overwritten" : "written";
    case TFileOutcome::foSkipped:
        return "skipped";
    case TFileOutcome::foError:
        return AReport.Refused ? "refused" : "failed";
    }
    return "failed";
}

std::string FileReportJson(const TFileTask& ATask, const TFileReport& AReport,
                           kvaderon::platform::TFileSystem& AFileSystem) {
    TJsonObject json;
    json.AddPath("Input", PathToUtf8(ATask.Input));
    json.AddPath("Target", PathToUtf8(ATask.Target));
    json.Add("Outcome", OutcomeName(AReport));
    json.Add("Reason", AReport.Reason);
    if (AReport.Outcome == TFileOutcome::foError)
        json.Add("Retry", AReport.Retry);
    if (!AReport.Notes.empty())
        json.AddStrings("Notes", AReport.Notes);
    const bool written = AReport.Outcome == TFileOutcome::foProcessed;
    if (written)
        json.Add("InputSize", AReport.Result.Size);
    else
        AddSize(json, "InputSize", AFileSystem, ATask.Input);
    if (written)
        json.Add("OutputSize", AReport.Result.Size);
    if (!AReport.Result.Hashes.Input.empty()) {
        json.Add("InputSha256", AReport.Result.Hashes.Input);
        json.Add("OutputSha256", AReport.Result.Hashes.Output);
    }
    json.Add("Verified", AReport.Result.Verified);
    json.Add("Seconds", AReport.Seconds);
    return json.Finish();
}

void TInvertTotals::Add(const TFileReport& AReport) {
    ++Files;
    const std::string outcome = OutcomeName(AReport);
    int& count = outcome == "written"       ? Written
                 : outcome == "overwritten" ? Overwritten
                 : outcome == "skipped"     ? Skipped
                 : outcome == "refused"     ? Refused
                                            : Failed;
    ++count;
    Verified += AReport.Result.Verified ? 1 : 0;
    if (AReport.Outcome == TFileOutcome::foError)
        Status.Failed(AReport.Retry);
}

std::string TotalsJson(const TInvertTotals& ATotals, double ASeconds) {
    TJsonObject json;
    json.Add("Summary", true);
    json.Add("Files", ATotals.Files);
    json.Add("Written", ATotals.Written);
    json.Add("Overwritten", ATotals.Overwritten);
    json.Add("Skipped", ATotals.Skipped);
    json.Add("Refused", ATotals.Refused);
    json.Add("Failed", ATotals.Failed);
    json.Add("Verified", ATotals.Verified);
    json.Add("Seconds", ASeconds);
    return json.Finish();
}

std::string DryRunJson(const TFileTask& ATask, const std::string& AOutcome, const std::string& AReason,
                       kvaderon::platform::TFileSystem& AFileSystem) {
    TJsonObject json;
    json.AddPath("Input", PathToUtf8(ATask.Input));
    json.AddPath("Target", PathToUtf8(ATask.Target));
    json.Add("Outcome", AOutcome);
    json.Add("Reason", AReason);
    AddSize(json, "InputSize", AFileSystem, ATask.Input);
    json.Add("DryRun", true);
    return json.Finish();
}

std::string PairJson(const TPairResult& APair) {
    TJsonObject json;
    json.AddPath("Negative", PathToUtf8(APair.Negative));
    json.AddPath("Positive", PathToUtf8(APair.Positive));
    const bool failed = !APair.Error.empty();
    json.Add("Outcome", std::string(failed ? "failed" : APair.Verification.Holds() ? "holds" : "differs"));
    if (!failed && !APair.Verification.Holds()) {
        json.Add("Offset", APair.Verification.Offset);
        json.Add("Difference", DifferenceKindText(APair.Verification.Kind));
    }
    json.Add("Reason", APair.Error);
    if (failed || !APair.Verification.Holds())
        json.Add("Retry", failed && APair.Retry);
    json.Add("Seconds", APair.Seconds);
    return json.Finish();
}

std::string PairTotalsJson(int AHold, int ADiffer, int AFailed, double ASeconds) {
    TJsonObject json;
    json.Add("Summary", true);
    json.Add("Pairs", AHold + ADiffer + AFailed);
    json.Add("Hold", AHold);
    json.Add("Differ", ADiffer);
    json.Add("Failed", AFailed);
    json.Add("Seconds", ASeconds);
    return json.Finish();
}

} // namespace kvaderon::cli
