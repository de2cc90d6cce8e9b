// The files of the stress runs and the check of what a run made of them: many small files, a
// fifth of them malformed, each with the positive or the refusal the engine must give.
#pragma once

#include "TiffBuilder.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kvaderon::bench {

struct TStressFile {
    std::filesystem::path Input;
    test::TBytes Positive; // for a good file
    std::string Message;   // for a malformed one: the engine's own refusal
};

// Writes ACount files "f0000.tif"... into AIn; every fifth is malformed (each of the test
// support's malformed files that the engine refuses, in turn). AOut is where the run will write.
std::vector<TStressFile> WriteStressFiles(const std::filesystem::path& AIn, const std::filesystem::path& AOut,
                                          int ACount);

// Checks a run over the first ACount files into AOut: AOutcomeLines holds one "N. hh:mm:ss name:
// message" line per file, ASummary the status line "Готово: обработаны X, пропущено 0, ошибок Y
// за ...". Returns the number of faults found, and names the first few on standard error.
int CheckStressRun(const std::string& AOutcomeLines, const std::string& ASummary,
                   const std::vector<TStressFile>& AFiles, std::size_t ACount, const std::filesystem::path& AOut);

// What one batch over the files printed and cost.
struct TStressRun {
    std::string OutcomeLines;
    std::string Summary;
    double Seconds = 0;
    long PeakKilobytes = 0;
};
using TRunBatch = std::function<TStressRun(const std::vector<TStressFile>& AFiles, std::size_t ACount,
                                           const std::filesystem::path& AOut)>;

// Writes ACount files into a fresh folder of AName, has ARunBatch process the first hundred and
// then all of them, each into a new destination, checks both and prints the figures. Returns the
// exit status: 0 when everything was as expected.
int RunStress(const std::string& AName, int ACount, const TRunBatch& ARunBatch);

} // namespace kvaderon::bench
