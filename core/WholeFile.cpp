#include "WholeFile.h"

#include "TempFiles.h"
#include "platform/SystemError.h"

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void ThrowReason(const std::error_code& AError) {
    platform::ThrowSystemError({}, AError);
}

// Runs AAction; a failure of the file system is raised again with the system's reason alone.
template <typename TAction> auto ReasonOnly(TAction AAction) {
    try {
        return AAction();
    } catch (const platform::ESystemError& error) {
        ThrowReason(error.Code());
    }
}

// No file at the path: the name or a folder above it is missing, or a folder above is a file.
bool IsMissing(const std::error_code& AError) {
    return AError == std::errc::no_such_file_or_directory || AError == std::errc::not_a_directory;
}

} // namespace

std::optional<std::string> ReadWholeFile(platform::TFileSystem& AFileSystem, const fs::path& APath,
                                         std::uint64_t AMaxSize) {
    std::unique_ptr<platform::TFile> file;
    try {
        file = AFileSystem.OpenRead(APath);
    } catch (const platform::ESystemError& error) {
        if (!IsMissing(error.Code()))
            ThrowReason(error.Code());
        if (AFileSystem.IsFolder(APath))
            ThrowReason(std::make_error_code(std::errc::is_a_directory));
        return std::nullopt;
    }
    return ReasonOnly([&] {
        const std::uint64_t size = file->Info().Size;
        if (size > AMaxSize)
            ThrowReason(std::make_error_code(std::errc::file_too_large));
        std::string text(std::size_t(size), '\0');
        platform::ReadExactly(*file, 0, text.data(), text.size(), APath);
        return text;
    });
}

namespace {

// A new file gets these permission bits; a replaced one keeps its own.
constexpr std::uint32_t NewFilePermissions = 0644;

// The permission bits the saved file is to have. A file that may not be written is not replaced.
std::uint32_t PermissionsToKeep(platform::TFileSystem& AFileSystem, const fs::path& ATarget) {
    std::unique_ptr<platform::TFile> file;
    try {
        file = AFileSystem.OpenRead(ATarget);
    } catch (const platform::ESystemError& error) {
        if (!IsMissing(error.Code()) || AFileSystem.IsFolder(ATarget))
            ThrowReason(error.Code());
        return NewFilePermissions;
    }
    const std::uint32_t permissions = ReasonOnly([&] { return file->Info().Permissions; });
    // 0: the system keeps no permission bits, and its rename refuses a read-only file itself.
    if (permissions != 0 && (permissions & 0200) == 0)
        ThrowReason(std::make_error_code(std::errc::permission_denied));
    return permissions;
}

} // namespace

void WriteWholeFile(platform::TFileSystem& AFileSystem, const fs::path& APath, std::string_view AText) {
    const fs::path target = ReasonOnly([&] { return AFileSystem.LinkTarget(APath); });
    if (target.has_parent_path())
        ReasonOnly([&] { AFileSystem.CreateFolders(target.parent_path()); });
    const std::uint32_t permissions = PermissionsToKeep(AFileSystem, target);
    TTempFile temp = ReasonOnly([&] { return CreateTempFileBeside(AFileSystem, target, permissions); });
    try {
        temp.File->WriteAt(0, AText.data(), AText.size());
        temp.File->Close();
        AFileSystem.Rename(temp.Path, target, platform::TRenameMode::rmReplace);
    } catch (const platform::ESystemError& error) {
        const std::string leftOver = DiscardTempFile(AFileSystem, temp);
        if (leftOver.empty())
            ThrowReason(error.Code());
        throw platform::ESystemError(platform::SystemErrorText(error.Code()) + ". " + leftOver, error.Code());
    }
    ForgetTempFile(temp.Path);
}

} // namespace kvaderon
