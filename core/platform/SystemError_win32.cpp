#include "SystemError.h"

#include <windows.h>

namespace kvaderon::platform {

namespace {

std::string WideToUtf8(const wchar_t* AText, int ALength) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, AText, ALength, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, AText, ALength, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace

std::string SystemErrorText(const std::error_code& AError) {
    // The common reasons in Russian whatever the language of the system; the others as it words them.
    if (const char* reason = PortableReason(AError))
        return reason;
    if (AError.category() != std::system_category())
        return "Системная ошибка " + std::to_string(AError.value());
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(AError.value()), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr)
        return "Системная ошибка " + std::to_string(AError.value());
    std::string text = WideToUtf8(buffer, int(length));
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::error_code LastSystemError() {
    return {int(GetLastError()), std::system_category()};
}

} // namespace kvaderon::platform
