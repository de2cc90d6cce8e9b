// Inversion of one 16-bit uncompressed TIFF file into a positive copy.
#pragma once

#include <filesystem>

namespace kvaderon {

struct TTIFFStructure;

class TTIFFInverterSingle {
public:
    // Writes the inverted copy of AInputFile to AOutputFile and returns true; every failure raises
    // ETIFFError "Системная ошибка при обработке <input>: <reason>". The input is never modified.
    // The copy is prepared in a temporary file beside the output and takes the output's name
    // only when complete, so a failure leaves no new file and an earlier output unchanged.
    // AAutoDetectColor has no effect.
    bool InvertTIFF16Bit(const std::filesystem::path& AInputFile, const std::filesystem::path& AOutputFile,
                         bool AAutoDetectColor = true);

private:
    void InvertToTempFile(const std::filesystem::path& AInputFile, const std::filesystem::path& ATempFile);
    static void InvertStrips(std::uint8_t* AView, std::uint64_t AFileSize, const TTIFFStructure& AStructure);
};

} // namespace kvaderon
