#include "Console.h"

#include <unistd.h>

namespace kvaderon::cli::platform {

std::vector<std::string> CommandLineArguments(int AArgc, char** AArgv) {
    return std::vector<std::string>(AArgv + (AArgc > 0 ? 1 : 0), AArgv + AArgc);
}

void PrepareConsole() {}

bool IsStandardOutputTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

} // namespace kvaderon::cli::platform
