// Failures a later run may mend (an I/O error, a full disk, a lock not obtained), told apart from
// those that will come again (a refused file, a difference, a missing file), for schedulers that
// retry a step.
#pragma once

#include "CommonTypes.h"

#include <exception>
#include <string>
#include <system_error>

namespace kvaderon {

// An ETIFFError that reports a failure of the system and keeps the system's error.
class ESystemFailure : public ETIFFError {
public:
    ESystemFailure(const std::string& AMessage, std::error_code ACode) : ETIFFError(AMessage), FCode(ACode) {}
    const std::error_code& Code() const { return FCode; }

private:
    std::error_code FCode;
};

// The system's error an exception carries (platform::ESystemError, ESystemFailure); empty for others.
std::error_code SystemErrorOf(const std::exception& AError);

bool IsRetryableError(const std::error_code& AError);

// AError carries a system error that a retry may mend.
bool IsRetryableFailure(const std::exception& AError);

} // namespace kvaderon
