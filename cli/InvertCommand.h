// kvaderon-cli invert: inverted copies of the given files in one folder, several at once.
#pragma once

#include "CommandLine.h"

namespace kvaderon::cli {

// Prints one outcome line per file in list order, then the statistics and the final status.
// Returns the exit status: 0 when no file failed, 1 otherwise.
int RunInvert(const TCommandLine& ALine, bool AColored);

} // namespace kvaderon::cli
