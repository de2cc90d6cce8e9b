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

} // namespace kvaderon::test
