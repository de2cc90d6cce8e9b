#include "Wildcards.h"

namespace kvaderon::cli::platform {

// The shell has expanded them; a "*" that reaches the program is part of a name.
std::vector<std::string> ExpandWildcards(const std::vector<std::string>& AArguments) {
    return AArguments;
}

} // namespace kvaderon::cli::platform
