// Inversion of one 16-bit uncompressed TIFF file into a positive copy.
#pragma once

#include "CommonTypes.h"
#include "StreamDigests.h"
#include "platform/FileIO.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kvaderon {

class TInversionPlan;

struct TInversionOptions {
    bool Overwrite = false; // the user chose to replace an existing output
    bool Verify = false;    // read the written copy back and compare it with the negative before renaming
    bool Hash = false;      // SHA-256 of the bytes written
    bool HashInput = false; // with Hash, also of the bytes read
};

struct TInversionResult {
    std::uint64_t Size = 0; // of input and output
    bool Verified = false;
    TStreamHashes Hashes; // empty unless asked for
};

// The input is one the inverter will not invert (missing, not a 16-bit uncompressed TIFF, damaged,
// the output itself); other failures of an inversion are plain ETIFFError.
class EInputRefused : public ETIFFError {
public:
    using ETIFFError::ETIFFError;
};

class TTIFFInverterSingle {
public:
    explicit TTIFFInverterSingle(platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

    // Writes the inverted copy of AInputFile to AOutputFile; every failure raises ETIFFError
    // "Системная ошибка при обработке <input>: <reason>" (EInputRefused for a refused input), but
    // for a folder that refuses the new file: EDestinationRefused (TempFiles.h). The
    // input is never modified. The copy is made in one streamed pass into a temporary file beside
    // the output, which takes the output's name only when complete (and, with AOptions.Verify,
    // checked), so a failure leaves no new file and an earlier output unchanged. An existing
    // AOutputFile is replaced only with AOptions.Overwrite; otherwise a file found there at the end
    // is reported, never replaced.
    TInversionResult Invert(const std::filesystem::path& AInputFile, const std::filesystem::path& AOutputFile,
                            const TInversionOptions& AOptions);

    // Invert without verification or hashes; returns true. AAutoDetectColor has no effect.
    bool InvertTIFF16Bit(const std::filesystem::path& AInputFile, const std::filesystem::path& AOutputFile,
                         bool AAutoDetectColor = true, bool AOverwrite = false);

    // Everything Invert checks before it writes: raises what Invert would for a refused input, and
    // writes nothing.
    void CheckInput(const std::filesystem::path& AInputFile, const std::filesystem::path& AOutputFile);

    // With AInvert the file's uncompressed reduced-resolution copies (thumbnails) are inverted
    // too, so that file managers show a positive; off by default, when the output is byte for
    // byte the input but for the first image's samples.
    void SetInvertPreviews(bool AInvert) { FInvertPreviews = AInvert; }
    bool InvertsPreviews() const { return FInvertPreviews; }
    // After a successful inversion with previews: one Russian note per thumbnail left as it is.
    const std::vector<std::string>& PreviewNotes() const { return FPreviewNotes; }

private:
    struct TPreparedInput;

    TPreparedInput Prepare(const std::filesystem::path& AInputFile, const std::filesystem::path& AOutputFile);
    std::unique_ptr<platform::TFile> OpenInput(const std::filesystem::path& AInputFile);
    TInversionResult WriteInvertedCopy(TPreparedInput& AInput, const std::filesystem::path& AInputFile,
                                       const std::filesystem::path& AOutputFile, const TInversionOptions& AOptions);
    void Stream(TPreparedInput& AInput, platform::TFile& AOutput, const std::filesystem::path& AInputFile,
                const std::filesystem::path& AOutputFile, TStreamDigests* ADigests);
    void VerifyWritten(TPreparedInput& AInput, const std::filesystem::path& AInputFile,
                       const std::filesystem::path& ATempFile, const std::filesystem::path& AOutputFile);

    platform::TFileSystem& FFileSystem;
    bool FInvertPreviews = false;
    std::vector<std::string> FPreviewNotes;
};

} // namespace kvaderon
