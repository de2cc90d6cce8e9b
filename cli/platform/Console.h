// What the command line needs from the console: its arguments as UTF-8, whether standard output
// is a terminal, and the signals that end it.
#pragma once

#include <string>
#include <vector>

namespace kvaderon::cli::platform {

// The program's arguments (without the program name) as UTF-8 texts.
std::vector<std::string> CommandLineArguments(int AArgc, char** AArgv);

// Makes the console take UTF-8 text and ANSI colour sequences where it needs to be told; the
// console gets its own settings back at exit (RestoreConsole, also called from std::atexit).
void PrepareConsole();
// Gives the console back the settings PrepareConsole found; for ends that skip std::atexit.
void RestoreConsole();

bool IsStandardOutputTerminal();

// To be called before any other thread starts. From then on SIGINT, SIGTERM and SIGHUP (on
// Windows Ctrl+C, Ctrl+Break and the closing of the console) call AOnSignal on a thread of its
// own with the exit status to end with, 128 + the signal; AOnSignal ends the process. A closed
// pipe no longer ends the program: the write fails with EPIPE instead.
void HandleTerminationSignals(void (*AOnSignal)(int AExitStatus));

} // namespace kvaderon::cli::platform
