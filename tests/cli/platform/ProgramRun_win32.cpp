#include "ProgramRun.h"

#include <windows.h>

#include <stdexcept>

namespace kvaderon::test {

namespace {

std::wstring Utf8ToWide(const std::string& AText) {
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, AText.data(), int(AText.size()), nullptr, 0);
    std::wstring text(std::size_t(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, AText.data(), int(AText.size()), text.data(), size);
    return text;
}

// Quotes one argument the way CommandLineToArgvW splits it again.
std::wstring QuoteArgument(const std::wstring& AArgument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : AArgument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HANDLE OpenOutputFile(const std::filesystem::path& APath) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(APath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

} // namespace

int RunProgramToFiles(const std::filesystem::path& AProgram, const std::vector<std::string>& AArguments,
                      const std::filesystem::path& AOutFile, const std::filesystem::path& AErrFile) {
    std::wstring commandLine = QuoteArgument(AProgram.wstring());
    for (const auto& argument : AArguments)
        commandLine += L" " + QuoteArgument(Utf8ToWide(argument));

    const HANDLE out = OpenOutputFile(AOutFile);
    const HANDLE err = OpenOutputFile(AErrFile);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(AProgram.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &process);
    ::CloseHandle(out);
    ::CloseHandle(err);
    if (!started)
        throw std::runtime_error("cannot start " + AProgram.string());
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return int(exitCode);
}

} // namespace kvaderon::test
