// kvaderon-cli check: the files of SHA256SUMS lists checked against their lines, as sha256sum -c
// checks them, for systems that have no sha256sum.
#pragma once

#include "CommandLine.h"

namespace kvaderon::cli {

// Checks every line of each list in ALine.Files and prints one line (with --json one object) per
// file, then a summary. Returns 0 when every line of every list holds, 1 otherwise (a list that
// cannot be read, holds no checksum or has a line of another form included).
int RunCheck(const TCommandLine& ALine, bool AColored);

} // namespace kvaderon::cli
