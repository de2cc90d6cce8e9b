#include "TiffInverterSingleThread.h"

#include "ByteSource.h"
#include "CommonTypes.h"
#include "InversionPlan.h"
#include "PathText.h"
#include "TempFiles.h"
#include "TextFormat.h"
#include "TiffImageMap.h"
#include "TiffStructureReader.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <vector>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

// A few hundred KiB: large enough for the system calls not to count, small enough for the cache.
constexpr std::size_t chunkBytes = 256 * 1024;

// The positive's permission bits: the input's read, write and execute bits (never setuid, setgid
// or sticky), plus read and write for the owner, less what the process's umask takes away.
std::uint32_t PositivePermissions(std::uint32_t AInput, std::uint32_t ACreationMask) {
    return ((AInput & 0777) | 0600) & ~ACreationMask;
}

// Failures on the temporary file are told with the name the user knows.
template <typename TAction> void OnTarget(const fs::path& ATarget, TAction AAction) {
    try {
        AAction();
    } catch (const platform::ESystemError& error) {
        platform::ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATarget), error.Code());
    }
}

} // namespace

TTIFFInverterSingle::TTIFFInverterSingle(platform::TFileSystem& AFileSystem) : FFileSystem(AFileSystem) {}

bool TTIFFInverterSingle::InvertTIFF16Bit(const fs::path& AInputFile, const fs::path& AOutputFile,
                                          bool /*AAutoDetectColor*/, bool AOverwrite) {
    try {
        const std::unique_ptr<platform::TFile> input = OpenInput(AInputFile);
        if (FFileSystem.IsSameFile(AInputFile, AOutputFile))
            throw ETIFFError("Входной и выходной пути указывают на один и тот же файл: " + PathToUtf8(AOutputFile));
        const platform::TFileInfo info = input->Info();
        const TFileBytes bytes(*input, info.Size, AInputFile);
        const TTIFFStructure structure = ParseTIFFStructure(bytes);
        TInversionPlan plan(structure, info.Size);
        FPreviewNotes.clear();
        if (FInvertPreviews)
            FPreviewNotes = plan.AddPreviews(ReadImageMap(bytes, structure.BigEndian, structure.IFDOffset), info.Size);
        WriteInvertedCopy(*input, info, plan, AInputFile, AOutputFile, AOverwrite);
        return true;
    } catch (const std::exception& error) {
        throw ETIFFError(
            FormatText("Системная ошибка при обработке %s: %s", {PathToUtf8(AInputFile), error.what()}));
    }
}

std::unique_ptr<platform::TFile> TTIFFInverterSingle::OpenInput(const fs::path& AInputFile) {
    try {
        return FFileSystem.OpenRead(AInputFile);
    } catch (const platform::ENotRegularFile& error) {
        throw ETIFFError(error.what());
    } catch (const platform::ESystemError& error) {
        if (error.Code() == std::errc::no_such_file_or_directory)
            throw ETIFFError("Файл не существует: " + PathToUtf8(AInputFile));
        throw;
    }
}

void TTIFFInverterSingle::WriteInvertedCopy(platform::TFile& AInput, const platform::TFileInfo& AInfo,
                                            TInversionPlan& APlan, const fs::path& AInputFile,
                                            const fs::path& AOutputFile, bool AOverwrite) {
    TTempFile temp = CreateTempFileBeside(FFileSystem, AOutputFile, PositivePermissions(AInfo.Permissions, FFileSystem.CreationMask()));
    try {
        std::vector<std::uint8_t> buffer(chunkBytes);
        for (std::uint64_t position = 0; position < AInfo.Size;) {
            const std::uint64_t end = APlan.ChunkEnd(position, std::min(AInfo.Size, position + chunkBytes));
            const auto length = std::size_t(end - position);
            platform::ReadExactly(AInput, position, buffer.data(), length, AInputFile);
            APlan.Apply(buffer.data(), length, position);
            OnTarget(AOutputFile, [&] { temp.File->WriteAt(position, buffer.data(), length); });
            position = end;
        }
        std::uint8_t beyond = 0;
        if (AInput.ReadAt(AInfo.Size, &beyond, 1) != 0)
            throw platform::ESystemError("Файл стал длиннее во время чтения: " + PathToUtf8(AInputFile));
        AInput.Close();
        OnTarget(AOutputFile, [&] {
            temp.File->SetTimes(AInfo.Times);
            temp.File->Close();
        });
        FFileSystem.Rename(temp.Path, AOutputFile,
                           AOverwrite ? platform::TRenameMode::rmReplace : platform::TRenameMode::rmNoReplace);
    } catch (const std::exception& error) {
        const std::string leftOver = DiscardTempFile(FFileSystem, temp);
        if (leftOver.empty())
            throw;
        throw platform::ESystemError(std::string(error.what()) + ". " + leftOver);
    } catch (...) {
        DiscardTempFile(FFileSystem, temp);
        throw;
    }
    ForgetTempFile(temp.Path);
}

} // namespace kvaderon
