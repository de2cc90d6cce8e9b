// Inversion of one 16-bit uncompressed TIFF file into a positive copy.
#pragma once

#include "CommonTypes.h"
#include "StreamDigests.h"
#include "platform/FileIO.h"

#include <filesystem>
#include <memory>

namespace kvaderon {

class TInversionPlan;

struct TInversionOptions {
    bool Overwrite = false; // the user chose to replace an existing output
    bool Verify = false;    // read the written copy back and compare it with the negative before renaming
    bool Hash = false;      // SHA-256 of the bytes read and written
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
    // "Системная ошибка при обработке <input>: <reason>" (EInputRefused for a refused input). The
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
};

} // namespace kvaderon
