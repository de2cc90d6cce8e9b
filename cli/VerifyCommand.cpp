#include "VerifyCommand.h"

#include "InvertCommand.h"
#include "OutcomeLine.h"
#include "PathText.h"
#include "RetryableFailure.h"
#include "RunJson.h"
#include "StandardOutput.h"
#include "TerminalText.h"

#include <chrono>
#include <ctime>

namespace kvaderon::cli {

namespace fs = std::filesystem;

namespace {

std::vector<TFileTask> Pairs(const TCommandLine& ALine) {
    if (ALine.OutputFolder.empty())
        return {{Utf8ToPath(ALine.Files[0]), Utf8ToPath(ALine.Files[1]), {}}};
    // The pairs invert with the same arguments writes, its refusals included.
    return PlanTasks(ALine, Utf8ToPath(ALine.OutputFolder));
}

TPairResult CheckPair(const TFileTask& APair, bool AInvertPreviews) {
    const auto started = std::chrono::steady_clock::now();
    TPairResult result{APair.Input, APair.Target, APair.Error, {}, 0};
    if (!result.Error.empty())
        return result;
    try {
        result.Verification =
            VerifyInversion(kvaderon::platform::SystemFileSystem(), APair.Input, APair.Target, AInvertPreviews);
    } catch (const std::exception& error) {
        result.Error = error.what();
        result.Retry = IsRetryableFailure(error);
    }
    result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

std::string PairLine(int ANumber, const TPairResult& APair, bool AColored) {
    const bool holds = APair.Error.empty() && APair.Verification.Holds();
    const std::string message = APair.Error.empty() ? VerificationText(APair.Verification) : APair.Error;
    return RenderRuns(
        BuildOutcomeLine(ANumber, LocalTimeText(std::time(nullptr)),
                         PathToUtf8((APair.Positive.empty() ? APair.Negative : APair.Positive).filename()), message,
                         !holds),
        AColored);
}

} // namespace

int RunVerify(const TCommandLine& ALine, bool AColored) {
    const auto started = std::chrono::steady_clock::now();
    int hold = 0, differ = 0, failed = 0;
    TRunStatus status;
    const std::vector<TFileTask> pairs = Pairs(ALine);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const TPairResult pair = CheckPair(pairs[i], ALine.InvertPreviews);
        int& count = !pair.Error.empty() ? failed : pair.Verification.Holds() ? hold : differ;
        ++count;
        if (&count != &hold)
            status.Failed(pair.Retry);
        if (!WriteStandardOutput(ALine.Json ? PairJson(pair) + "\n" : PairLine(int(i + 1), pair, AColored)))
            return 1;
    }
    if (ALine.Json) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!WriteStandardOutput(PairTotalsJson(hold, differ, failed, seconds) + "\n"))
            return 1;
    }
    // Nothing verified proves nothing.
    return hold == 0 && differ + failed == 0 ? 1 : status.Code();
}

} // namespace kvaderon::cli
