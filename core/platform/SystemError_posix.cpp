#include "SystemError.h"

#include <cerrno>

namespace kvaderon::platform {

std::string SystemErrorText(const std::error_code& AError) {
    if (AError.category() == std::generic_category() || AError.category() == std::system_category()) {
        if (const char* reason = PortableReason(AError))
            return reason;
        if (AError.value() == EDQUOT)
            return "Превышена дисковая квота";
        if (AError.value() == ESTALE)
            return "Файл на сетевом диске больше недоступен";
        if (AError.value() == EREMOTEIO)
            return "Ошибка ввода-вывода на удалённом устройстве";
    }
    // The system's own wording is English; the number is all that can be said in Russian.
    return "Системная ошибка " + std::to_string(AError.value());
}

std::error_code LastSystemError() {
    return {errno, std::generic_category()};
}

} // namespace kvaderon::platform
