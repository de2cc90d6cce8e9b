// kvaderon-cli verify: the proof that positives are the exact inversions of their negatives.
#pragma once

#include "CommandLine.h"

namespace kvaderon::cli {

// Checks the pair NEGATIVE POSITIVE, or with --out each file against the target invert would give
// it, and prints one line (with --json one object) per pair, then with --json a summary object.
// Returns 0 when every pair holds, 1 otherwise.
int RunVerify(const TCommandLine& ALine, bool AColored);

} // namespace kvaderon::cli
