// A small 8-bit picture of a 16-bit uncompressed TIFF file, for the open dialog's preview. Only
// every n-th row of the strips is read, so the picture of a scan of hundreds of megabytes costs a
// few megabytes of reading.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace kvaderon {

struct TTiffPreview {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::vector<std::uint8_t> Rgb; // 3 bytes a pixel, rows from the top

    bool operator==(const TTiffPreview&) const = default;
};

// The image of AFileName reduced by one whole step in both directions so that neither side
// exceeds AMaxSide: every step-th row and column, the high byte of each sample; the first three
// channels of an RGB file, the first channel as grey otherwise. Nothing when the file is not a
// 16-bit uncompressed TIFF in strips or cannot be read; rows past the end of the strips are black.
std::optional<TTiffPreview> MakeTiffPreview(const std::filesystem::path& AFileName, std::uint32_t AMaxSide,
                                            platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// The positive the inversion makes of the picture: every byte inverted.
TTiffPreview InvertedPreview(TTiffPreview APreview);

} // namespace kvaderon
