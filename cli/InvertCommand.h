// kvaderon-cli invert: inverted copies of the given files in one folder, several at once.
#pragma once

#include "CommandLine.h"
#include "FileBatch.h"

#include <filesystem>
#include <vector>

namespace kvaderon::cli {

// Prints one outcome line (with --json one object) per file in list order, then the statistics and
// the final status (the summary object). With --dry-run reads and reports, and writes nothing.
// Returns the exit status: 0 when no file failed, 1 otherwise.
int RunInvert(const TCommandLine& ALine, bool AColored);

// The run's plan (PlanRun) for the line's files, destination AOutputFolder, prefix and postfix.
std::vector<TFileTask> PlanTasks(const TCommandLine& ALine, const std::filesystem::path& AOutputFolder);

} // namespace kvaderon::cli
