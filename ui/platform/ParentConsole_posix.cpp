#include "ParentConsole.h"

#include <cstdio>

bool WriteToParentConsole(const std::string& AText) {
    return std::fwrite(AText.data(), 1, AText.size(), stdout) == AText.size() && std::fflush(stdout) == 0;
}
