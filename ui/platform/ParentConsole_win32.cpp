#include "ParentConsole.h"

#include <windows.h>

namespace {

std::wstring Utf8ToWide(const std::string& AText) {
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, AText.data(), int(AText.size()), nullptr, 0);
    std::wstring text(std::size_t(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, AText.data(), int(AText.size()), text.data(), size);
    return text;
}

// Standard output when it was redirected, else the console of the starting program, attached.
HANDLE Output() {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (output != nullptr && output != INVALID_HANDLE_VALUE)
        return output;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return INVALID_HANDLE_VALUE;
    return ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}

} // namespace

// A console is written in UTF-16, whatever its code page; a file or pipe takes the UTF-8 bytes.
bool WriteToParentConsole(const std::string& AText) {
    const HANDLE output = Output();
    if (output == INVALID_HANDLE_VALUE)
        return true; // started without a console: nobody to tell
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(output, &mode)) {
        const std::wstring text = Utf8ToWide(AText);
        return ::WriteConsoleW(output, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
    }
    return ::WriteFile(output, AText.data(), DWORD(AText.size()), &written, nullptr) && written == AText.size();
}
