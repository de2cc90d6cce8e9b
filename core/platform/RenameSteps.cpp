#include "RenameSteps.h"

namespace kvaderon::platform {

namespace {

// The answers of a file system that lacks the step, rather than of a step that failed.
bool IsUnsupported(const std::error_code& AError) {
    return AError == std::errc::invalid_argument || AError == std::errc::function_not_supported ||
           AError == std::errc::not_supported || AError == std::errc::operation_not_supported ||
           AError == std::errc::operation_not_permitted || AError == std::errc::too_many_links;
}

} // namespace

std::error_code RenameWithoutReplacing(const TRenameSteps& ASteps) {
    std::error_code error = ASteps.RenameNoReplace();
    if (!error || !IsUnsupported(error))
        return error;
    error = ASteps.Link();
    if (!error) {
        ASteps.RemoveSource(); // the target is complete; a source name left behind is harmless
        return {};
    }
    if (!IsUnsupported(error))
        return error;
    if (ASteps.TargetExists())
        return std::make_error_code(std::errc::file_exists);
    return ASteps.Rename();
}

} // namespace kvaderon::platform
