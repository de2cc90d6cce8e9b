#include "SystemError.h"

namespace kvaderon::platform {

void ThrowSystemError(std::string_view AWhat, const std::error_code& AError) {
    std::string message(AWhat);
    if (!message.empty())
        message += ": ";
    message += SystemErrorText(AError);
    throw ESystemError(message, AError);
}

} // namespace kvaderon::platform
