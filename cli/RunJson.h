// The JSON objects of invert, its dry run and verify: one line per file in list order, then one
// summary object.
#pragma once

#include "FileBatch.h"
#include "RunStatus.h"
#include "Verification.h"

#include <string>

namespace kvaderon::cli {

// written, overwritten, skipped, refused or failed.
std::string OutcomeName(const TFileReport& AReport);

// Input, Target, Outcome, Reason, InputSize and OutputSize, InputSha256 and OutputSha256 when
// computed, Verified, Seconds. The InputSize of a file not written is the input's size in
// AFileSystem, where it has one.
std::string FileReportJson(const TFileTask& ATask, const TFileReport& AReport,
                           kvaderon::platform::TFileSystem& AFileSystem);

struct TInvertTotals {
    int Files = 0, Written = 0, Overwritten = 0, Skipped = 0, Refused = 0, Failed = 0, Verified = 0;
    TRunStatus Status;
    void Add(const TFileReport& AReport);
};

// {"Summary":true, "Files":…, "Written":…, …, "Seconds":…}
std::string TotalsJson(const TInvertTotals& ATotals, double ASeconds);

// What a run would do with one file: Input, Target, Outcome (as a run would report it), Reason,
// InputSize as for a file not written, "DryRun":true.
std::string DryRunJson(const TFileTask& ATask, const std::string& AOutcome, const std::string& AReason,
                       kvaderon::platform::TFileSystem& AFileSystem);

struct TPairResult {
    std::filesystem::path Negative;
    std::filesystem::path Positive;
    std::string Error; // a pair that could not be compared
    TVerification Verification;
    double Seconds = 0;
    bool Retry = false; // the failure is one a later run may mend
};

// Negative, Positive, Outcome (holds, differs or failed), Offset and Difference of a difference,
// Reason of a failure, Seconds.
std::string PairJson(const TPairResult& APair);

// {"Summary":true, "Pairs":…, "Hold":…, "Differ":…, "Failed":…, "Seconds":…}
std::string PairTotalsJson(int AHold, int ADiffer, int AFailed, double ASeconds);

} // namespace kvaderon::cli
