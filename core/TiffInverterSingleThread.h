// Inversion of one 16-bit uncompressed TIFF file into a positive copy.
#pragma once

#include "platform/FileIO.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kvaderon {

class TInversionPlan;

class TTIFFInverterSingle {
public:
    explicit TTIFFInverterSingle(platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

    // Writes the inverted copy of AInputFile to AOutputFile and returns true; every failure raises
    // ETIFFError "Системная ошибка при обработке <input>: <reason>". The input is never modified.
    // The copy is made in one streamed pass into a temporary file beside the output, which takes
    // the output's name only when complete, so a failure leaves no new file and an earlier output
    // unchanged. An existing AOutputFile is replaced only with AOverwrite (the user chose to
    // overwrite it); otherwise a file found there at the end is reported, never replaced.
    // AAutoDetectColor has no effect.
    bool InvertTIFF16Bit(const std::filesystem::path& AInputFile, const std::filesystem::path& AOutputFile,
                         bool AAutoDetectColor = true, bool AOverwrite = false);

    // With AInvert the file's uncompressed reduced-resolution copies (thumbnails) are inverted
    // too, so that file managers show a positive; off by default, when the output is byte for
    // byte the input but for the first image's samples.
    void SetInvertPreviews(bool AInvert) { FInvertPreviews = AInvert; }
    // After a successful inversion with previews: one Russian note per thumbnail left as it is.
    const std::vector<std::string>& PreviewNotes() const { return FPreviewNotes; }

private:
    std::unique_ptr<platform::TFile> OpenInput(const std::filesystem::path& AInputFile);
    void WriteInvertedCopy(platform::TFile& AInput, const platform::TFileInfo& AInfo, TInversionPlan& APlan,
                           const std::filesystem::path& AInputFile, const std::filesystem::path& AOutputFile,
                           bool AOverwrite);

    platform::TFileSystem& FFileSystem;
    bool FInvertPreviews = false;
    std::vector<std::string> FPreviewNotes;
};

} // namespace kvaderon
