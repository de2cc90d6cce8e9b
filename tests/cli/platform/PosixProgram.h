// Starting a program with POSIX file descriptors, for the tests that send it signals or give it
// a failing standard output. Used by POSIX sources only.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace kvaderon::test {

// Starts AProgram with standard output on the descriptor AOutput and standard error in AErrFile;
// with AOutput -1, standard input and output are closed.
pid_t StartProgram(const std::filesystem::path& AProgram, const std::vector<std::string>& AArguments, int AOutput,
                   const std::filesystem::path& AErrFile);

// Waits for the program's end: its exit status, or -1 when it did not end normally.
int WaitForProgram(pid_t AChild);

} // namespace kvaderon::test
