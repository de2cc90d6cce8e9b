// Prefixes and postfixes that would take a positive out of its destination folder or name no
// file: every program refuses them alike.
#pragma once

#include <string>
#include <vector>

namespace kvaderon::test {

inline const std::vector<std::string> HostileNameParts = {
    "../", "/abs/", "sub/", "..\\", "a\\b", ".", "..", std::string("a\0b", 3),
};

} // namespace kvaderon::test
