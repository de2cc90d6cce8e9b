// Runs a program to its end and collects its exit status and output.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kvaderon::test {

struct TProgramResult {
    int ExitCode = -1; // -1 when the program did not end normally
    std::string Out;
    std::string Err;
};

// AScratchFolder receives the files that catch the output.
TProgramResult RunProgram(const std::filesystem::path& AProgram, const std::vector<std::string>& AArguments,
                          const std::filesystem::path& AScratchFolder);

// Implemented per platform: runs the program with its standard output and error written to the
// two files and returns its exit status, -1 when it did not end normally.
int RunProgramToFiles(const std::filesystem::path& AProgram, const std::vector<std::string>& AArguments,
                      const std::filesystem::path& AOutFile, const std::filesystem::path& AErrFile);

} // namespace kvaderon::test
