// kvaderon-cli invert --dry-run: what a run would do with each file, found by reading the files'
// structure, with nothing created or changed.
#pragma once

#include "FileBatch.h"

#include <vector>

namespace kvaderon::cli {

// Checks the destination AOutputFolder as a run would (a run that could not start, or would end at
// its first file, says so once and returns 1); then prints per file its target and what would
// happen (written, overwritten, skipped, refused with the reason), as outcome lines or JSON
// objects, then a closing line or summary object. Returns 0 when no file would fail, 1 otherwise.
// Reads the files of AFileSystem.
int RunDryRun(kvaderon::platform::TFileSystem& AFileSystem, const std::filesystem::path& AOutputFolder,
              const std::vector<TFileTask>& ATasks, bool AOverwrite, bool AJson, bool AColored);

} // namespace kvaderon::cli
