// Runs the inverter on files made by the TIFF builder.
#pragma once

#include "CommonTypes.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "TiffInverterSingleThread.h"

#include <string>

namespace kvaderon::test {

struct TInversion {
    TBytes Input;
    TBytes Output;
    std::string Error; // empty on success
    std::vector<std::string> PreviewNotes;
};

inline TInversion InvertBytes(const TBytes& AInput, bool AInvertPreviews = false) {
    TTempDir dir;
    WriteFile(dir / "in.tif", AInput);
    TInversion result{AInput, {}, {}, {}};
    try {
        TTIFFInverterSingle inverter;
        inverter.SetInvertPreviews(AInvertPreviews);
        inverter.InvertTIFF16Bit(dir / "in.tif", dir / "out.tif", true);
        result.Output = ReadFile(dir / "out.tif");
        result.PreviewNotes = inverter.PreviewNotes();
    } catch (const ETIFFError& error) {
        result.Error = error.what();
    }
    return result;
}

// Samples stored from offset 8, where the builder puts the strips.
inline std::vector<std::uint16_t> SamplesAt8(const TBytes& AFile, std::size_t ACount, bool ABigEndian) {
    std::vector<std::uint16_t> samples;
    for (std::size_t i = 0; i < ACount; ++i) {
        const std::uint8_t* p = AFile.data() + 8 + 2 * i;
        samples.push_back(ABigEndian ? std::uint16_t(p[0] << 8 | p[1]) : std::uint16_t(p[0] | p[1] << 8));
    }
    return samples;
}

} // namespace kvaderon::test
