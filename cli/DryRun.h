// kvaderon-cli invert --dry-run: what a run would do with each file, found by reading the files'
// structure, with nothing created or changed.
#pragma once

#include "FileBatch.h"

#include <vector>

namespace kvaderon::cli {

// Prints per file its target and what would happen (written, overwritten, skipped, refused with
// the reason), as outcome lines or JSON objects, then a closing line or summary object. Returns 0
// when no file would fail, 1 otherwise. Reads the files of AFileSystem.
int RunDryRun(kvaderon::platform::TFileSystem& AFileSystem, const std::vector<TFileTask>& ATasks, bool AOverwrite,
              bool AJson, bool AColored);

} // namespace kvaderon::cli
