#include "SystemError.h"

#include <cerrno>

namespace kvaderon::platform {

std::string SystemErrorText(const std::error_code& AError) {
    if (AError.category() == std::generic_category() || AError.category() == std::system_category()) {
        if (const char* reason = PortableReason(AError))
            return reason;
        if (AError.value() == EDQUOT)
            return "Превышена дисковая квота";
    }
    return "Системная ошибка " + std::to_string(AError.value()) + " (" + AError.message() + ")";
}

std::error_code LastSystemError() {
    return {errno, std::generic_category()};
}

} // namespace kvaderon::platform
