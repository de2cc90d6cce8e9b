#include "Console.h"

#include <windows.h> // before the other system headers, which need its types

#include <shellapi.h>

#include <io.h>
#include <stdio.h>

#include <cstdlib>

namespace kvaderon::cli::platform {

namespace {

void (*onSignal)(int) = nullptr;

// What PrepareConsole found: the console's output code page (0: no console) and the mode of
// its output.
UINT previousCodePage = 0;
DWORD previousMode = 0;
bool modeChanged = false;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD AEvent) {
    switch (AEvent) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        onSignal(128 + 2);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        onSignal(128 + 1);
        return TRUE;
    default:
        return FALSE;
    }
}

std::string WideToUtf8(const wchar_t* AText) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, AText, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string text(std::size_t(size - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, AText, -1, text.data(), size, nullptr, nullptr);
    return text;
}

} // namespace

// The narrow arguments are in the ANSI code page; the wide command line holds every name.
std::vector<std::string> CommandLineArguments(int, char**) {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; arguments != nullptr && i < count; ++i)
        result.push_back(WideToUtf8(arguments[i]));
    ::LocalFree(arguments);
    return result;
}

void PrepareConsole() {
    previousCodePage = ::GetConsoleOutputCP();
    if (previousCodePage != 0 && previousCodePage != CP_UTF8)
        ::SetConsoleOutputCP(CP_UTF8);
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (output != INVALID_HANDLE_VALUE && ::GetConsoleMode(output, &previousMode))
        modeChanged = ::SetConsoleMode(output, previousMode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
    std::atexit(RestoreConsole);
}

void RestoreConsole() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (previousCodePage != 0 && previousCodePage != CP_UTF8)
        ::SetConsoleOutputCP(previousCodePage);
    if (modeChanged)
        ::SetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), previousMode);
}

bool IsStandardOutputTerminal() {
    return ::_isatty(::_fileno(stdout)) != 0;
}

void HandleTerminationSignals(void (*AOnSignal)(int AExitStatus)) {
    onSignal = AOnSignal;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

} // namespace kvaderon::cli::platform
