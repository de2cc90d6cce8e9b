#include "TiffInverterSingleThread.h"

#include "ByteSource.h"
#include "ChunkReader.h"
#include "InversionPlan.h"
#include "PathText.h"
#include "RetryableFailure.h"
#include "TempFiles.h"
#include "TextFormat.h"
#include "TiffImageMap.h"
#include "TiffStructureReader.h"
#include "Verification.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

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

std::string FailureText(const fs::path& AInputFile, const std::exception& AError) {
    return FormatText("Системная ошибка при обработке %s: %s", {PathToUtf8(AInputFile), AError.what()});
}

} // namespace

struct TTIFFInverterSingle::TPreparedInput {
    std::unique_ptr<platform::TFile> File;
    platform::TFileInfo Info;
    std::unique_ptr<TInversionPlan> Plan;
};

TTIFFInverterSingle::TTIFFInverterSingle(platform::TFileSystem& AFileSystem) : FFileSystem(AFileSystem) {}

bool TTIFFInverterSingle::InvertTIFF16Bit(const fs::path& AInputFile, const fs::path& AOutputFile,
                                          bool /*AAutoDetectColor*/, bool AOverwrite) {
    TInversionOptions options;
    options.Overwrite = AOverwrite;
    Invert(AInputFile, AOutputFile, options);
    return true;
}

TInversionResult TTIFFInverterSingle::Invert(const fs::path& AInputFile, const fs::path& AOutputFile,
                                             const TInversionOptions& AOptions) {
    TPreparedInput input = Prepare(AInputFile, AOutputFile);
    try {
        return WriteInvertedCopy(input, AInputFile, AOutputFile, AOptions);
    } catch (const EDestinationRefused&) {
        throw; // not this file's failure: the run ends at it
    } catch (const std::exception& error) {
        throw ESystemFailure(FailureText(AInputFile, error), SystemErrorOf(error));
    }
}

void TTIFFInverterSingle::CheckInput(const fs::path& AInputFile, const fs::path& AOutputFile) {
    Prepare(AInputFile, AOutputFile);
}

// The file's own faults (missing, not a TIFF the inverter takes, the output itself) are refusals;
// a failing disk is not.
TTIFFInverterSingle::TPreparedInput TTIFFInverterSingle::Prepare(const fs::path& AInputFile,
                                                                 const fs::path& AOutputFile) {
    try {
        TPreparedInput input;
        input.File = OpenInput(AInputFile);
        if (FFileSystem.IsSameFile(AInputFile, AOutputFile))
            throw ETIFFError("Входной и выходной пути указывают на один и тот же файл: " + PathToUtf8(AOutputFile));
        input.Info = input.File->Info();
        const TFileBytes bytes(*input.File, input.Info.Size, AInputFile);
        FPreviewNotes.clear();
        input.Plan = std::make_unique<TInversionPlan>(PlanInversion(bytes, FInvertPreviews, &FPreviewNotes));
        return input;
    } catch (const ETIFFError& error) {
        throw EInputRefused(FailureText(AInputFile, error));
    } catch (const std::exception& error) {
        throw ESystemFailure(FailureText(AInputFile, error), SystemErrorOf(error));
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

TInversionResult TTIFFInverterSingle::WriteInvertedCopy(TPreparedInput& AInput, const fs::path& AInputFile,
                                                        const fs::path& AOutputFile,
                                                        const TInversionOptions& AOptions) {
    TInversionResult result;
    result.Size = AInput.Info.Size;
    TTempFile temp = CreateTempFileInDestination(
        FFileSystem, AOutputFile, PositivePermissions(AInput.Info.Permissions, FFileSystem.CreationMask()));
    try {
        std::optional<TStreamDigests> digests;
        if (AOptions.Hash)
            digests.emplace(ReadChunkBytes, AOptions.HashInput);
        Stream(AInput, *temp.File, AInputFile, AOutputFile, digests ? &*digests : nullptr);
        if (digests)
            result.Hashes = digests->Finish();
        OnTarget(AOutputFile, [&] {
            temp.File->SetTimes(AInput.Info.Times);
            temp.File->Close();
        });
        if (AOptions.Verify)
            VerifyWritten(AInput, AInputFile, temp.Path, AOutputFile);
        result.Verified = AOptions.Verify;
        AInput.File->Close();
        FFileSystem.Rename(temp.Path, AOutputFile,
                           AOptions.Overwrite ? platform::TRenameMode::rmReplace : platform::TRenameMode::rmNoReplace);
    } catch (const std::exception& error) {
        const std::string leftOver = DiscardTempFile(FFileSystem, temp);
        if (leftOver.empty())
            throw;
        throw platform::ESystemError(std::string(error.what()) + ". " + leftOver, SystemErrorOf(error));
    } catch (...) {
        DiscardTempFile(FFileSystem, temp);
        throw;
    }
    ForgetTempFile(temp.Path);
    return result;
}

// The one pass: a reader thread reads the chunks ahead while this thread inverts the strip bytes of
// each and writes it. With ADigests, the chunk read and the chunk written are kept apart and hashed
// on the digests' threads.
void TTIFFInverterSingle::Stream(TPreparedInput& AInput, platform::TFile& AOutput, const fs::path& AInputFile,
                                 const fs::path& AOutputFile, TStreamDigests* ADigests) {
    const std::uint64_t size = AInput.Info.Size;
    const auto chunks = AInput.Plan->Chunks(size, ReadChunkBytes);
    const TFileBytes input(*AInput.File, size, AInputFile);
    TChunkReader reader(input, chunks);
    for (const auto& chunk : chunks) {
        const std::uint64_t position = chunk.first;
        const auto length = std::size_t(chunk.second - position);
        std::uint8_t* out = reader.Next();
        TStreamDigests::TSlot* slot = ADigests != nullptr ? &ADigests->Acquire() : nullptr;
        if (slot != nullptr) {
            if (ADigests->HashesInput()) {
                reader.Exchange(slot->Input);
                std::memcpy(slot->Output.data(), slot->Input.data(), length);
            } else {
                reader.Exchange(slot->Output);
            }
            out = slot->Output.data();
            reader.Release();
        }
        AInput.Plan->Apply(out, length, position);
        OnTarget(AOutputFile, [&] { AOutput.WriteAt(position, out, length); });
        if (slot != nullptr) {
            slot->Length = length;
            ADigests->Submit();
        } else {
            reader.Release();
        }
    }
    std::uint8_t beyond = 0;
    if (AInput.File->ReadAt(size, &beyond, 1) != 0)
        throw platform::ESystemError("Файл стал длиннее во время чтения: " + PathToUtf8(AInputFile));
}

void TTIFFInverterSingle::VerifyWritten(TPreparedInput& AInput, const fs::path& AInputFile, const fs::path& ATempFile,
                                        const fs::path& AOutputFile) {
    std::unique_ptr<platform::TFile> written;
    OnTarget(AOutputFile, [&] { written = FFileSystem.OpenRead(ATempFile); });
    const TVerification verification =
        CompareWithInversion(*AInput.File, AInputFile, *written, AOutputFile, FInvertPreviews);
    OnTarget(AOutputFile, [&] { written->Close(); });
    if (!verification.Holds())
        throw platform::ESystemError(FormatText("Записанный файл %s не совпал с инверсией при проверке. %s",
                                                {PathToUtf8(AOutputFile), VerificationText(verification)}),
                                     std::make_error_code(std::errc::io_error));
}

} // namespace kvaderon
