#include "StandardOutput.h"

#include "platform/SystemError.h"

#include <cerrno>
#include <cstdio>
#include <string>

namespace kvaderon::cli {

bool WriteStandardOutput(std::string_view AText) {
    errno = 0;
    const bool written = std::fwrite(AText.data(), 1, AText.size(), stdout) == AText.size();
    if (written && std::fflush(stdout) == 0)
        return true;
    const int error = errno != 0 ? errno : EIO;
    const std::string reason = kvaderon::platform::SystemErrorText({error, std::generic_category()});
    std::fprintf(stderr, "kvaderon-cli: ошибка записи в стандартный вывод: %s\n", reason.c_str());
    return false;
}

} // namespace kvaderon::cli
