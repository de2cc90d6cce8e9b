#include "RetryableFailure.h"

#include "platform/SystemError.h"

#include <algorithm>
#include <array>

namespace kvaderon {

std::error_code SystemErrorOf(const std::exception& AError) {
    if (const auto* system = dynamic_cast<const platform::ESystemError*>(&AError))
        return system->Code();
    if (const auto* failure = dynamic_cast<const ESystemFailure*>(&AError))
        return failure->Code();
    return {};
}

bool IsRetryableError(const std::error_code& AError) {
    static constexpr std::array transient = {
        std::errc::io_error,
        std::errc::no_space_on_device,
        std::errc::no_lock_available,
        std::errc::resource_deadlock_would_occur,
        std::errc::resource_unavailable_try_again,
        std::errc::device_or_resource_busy,
        std::errc::text_file_busy,
        std::errc::timed_out,
        std::errc::interrupted,
        std::errc::too_many_files_open,
        std::errc::too_many_files_open_in_system,
        std::errc::not_enough_memory,
        std::errc::no_buffer_space,
        std::errc::connection_reset,
        std::errc::connection_aborted,
    };
    return AError &&
           std::any_of(transient.begin(), transient.end(), [&](std::errc ACondition) { return AError == ACondition; });
}

bool IsRetryableFailure(const std::exception& AError) {
    return IsRetryableError(SystemErrorOf(AError));
}

} // namespace kvaderon
