// A rename that never replaces, built from the steps a file system offers.
#pragma once

#include <functional>
#include <system_error>

namespace kvaderon::platform {

// Each step returns the error it met, or an empty code.
struct TRenameSteps {
    std::function<std::error_code()> RenameNoReplace; // one atomic call, where the file system has it
    std::function<std::error_code()> Link;            // a hard link at the target name
    std::function<std::error_code()> RemoveSource;
    std::function<bool()> TargetExists;
    std::function<std::error_code()> Rename; // replaces a target
};

// Tries the atomic call, then a hard link and the removal of the source name, and only where the
// file system has neither, a check that the target is absent followed by a plain rename (which
// leaves a short window in which a file made by another program could be replaced).
// Returns std::errc::file_exists when the target exists.
std::error_code RenameWithoutReplacing(const TRenameSteps& ASteps);

} // namespace kvaderon::platform
