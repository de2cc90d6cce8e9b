// kvaderon-cli analyze: the bit-depth report of each given file, as text or JSON.
#pragma once

#include "CommandLine.h"

namespace kvaderon::cli {

// Returns the exit status: 0 when every file was analysed without an error, 1 otherwise.
int RunAnalyze(const TCommandLine& ALine, bool AColored);

} // namespace kvaderon::cli
