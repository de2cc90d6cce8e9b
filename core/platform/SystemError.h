// Failures of operating-system calls, carried as one Russian message.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace kvaderon::platform {

class ESystemError : public std::runtime_error {
public:
    explicit ESystemError(const std::string& AMessage, std::error_code ACode = {})
        : std::runtime_error(AMessage), FCode(ACode) {}
    // The system's error, or an empty code for failures the program itself found.
    const std::error_code& Code() const { return FCode; }

private:
    std::error_code FCode;
};

// The system's reason for AError as readable Russian text.
std::string SystemErrorText(const std::error_code& AError);

// The Russian reason of the common portable conditions (file not found, access denied, disk full,
// ...) whatever code the platform or the program gave for them; null for the others.
const char* PortableReason(const std::error_code& AError);

// Raises ESystemError with "AWhat: reason", or the reason alone when AWhat is empty.
[[noreturn]] void ThrowSystemError(std::string_view AWhat, const std::error_code& AError);

// The error code of the last failed call of this thread (errno, or GetLastError on Windows).
std::error_code LastSystemError();

} // namespace kvaderon::platform
