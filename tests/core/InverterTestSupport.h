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

// One row of ASamples, pixel by pixel (or plane by plane with APlanar 2).
inline TImageLayout Layout(std::uint16_t ASamplesPerPixel, std::uint16_t APhotometric,
                           std::vector<std::uint16_t> ASamples, std::vector<std::uint16_t> AExtra = {},
                           std::optional<std::uint16_t> AFormat = {}, std::uint16_t APlanar = 1,
                           bool ABigEndian = false) {
    TImageLayout layout;
    layout.SamplesPerPixel = ASamplesPerPixel;
    layout.Photometric = APhotometric;
    layout.Samples = std::move(ASamples);
    layout.Width = std::uint32_t(layout.Samples.size() / ASamplesPerPixel);
    layout.Height = 1;
    layout.ExtraSamples = std::move(AExtra);
    layout.SampleFormat = AFormat;
    layout.Planar = APlanar;
    layout.BigEndian = ABigEndian;
    return layout;
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
