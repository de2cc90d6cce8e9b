// What the command line needs from the console: its arguments as UTF-8 and whether standard
// output is a terminal.
#pragma once

#include <string>
#include <vector>

namespace kvaderon::cli::platform {

// The program's arguments (without the program name) as UTF-8 texts.
std::vector<std::string> CommandLineArguments(int AArgc, char** AArgv);

// Makes the console take UTF-8 text and ANSI colour sequences where it needs to be told.
void PrepareConsole();

bool IsStandardOutputTerminal();

} // namespace kvaderon::cli::platform
