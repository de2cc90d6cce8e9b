// Wildcards in file arguments. A POSIX shell expands them before the program starts; on Windows
// the program expands them itself, as Windows programs do.
#pragma once

#include <string>
#include <vector>

namespace kvaderon::cli::platform {

// Each argument whose last part holds "*" or "?" stands for the files and folders that part
// matches, in name order, with the folder part as written. An argument that names an existing
// file as written, and a pattern that matches nothing, stay as they are: the run reports the
// latter as that argument's error.
std::vector<std::string> ExpandWildcards(const std::vector<std::string>& AArguments);

} // namespace kvaderon::cli::platform
