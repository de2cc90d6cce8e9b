// A small 8-bit picture of a 16-bit uncompressed TIFF file and of its positive, for the open
// dialog's preview. Only every n-th row of the strips is read, so the picture of a scan of hundreds
// of megabytes costs a few megabytes of reading.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kvaderon {

struct TTiffPicture {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::vector<std::uint8_t> Rgb; // 3 bytes a pixel, rows from the top

    bool operator==(const TTiffPicture&) const = default;
};

struct TTiffPreview {
    TTiffPicture Negative;
    // The same pixels of the positive the inverter writes: the bytes it writes, read as the
    // negative's are (signed samples included).
    TTiffPicture Positive;
    // Why there is no picture: the reason the inverter refuses the file with, or why the preview
    // cannot read it; empty when the pictures are there.
    std::string Refusal;
};

// The image of AFileName reduced by one whole step in both directions so that neither side
// exceeds AMaxSide: every step-th row and column, the high byte of each sample; the first three
// channels of an RGB file, the first channel as grey otherwise. A file the inverter refuses has no
// picture but the inverter's reason (the same checks, PlanInversion). Rows past the end of the
// strips are black.
TTiffPreview MakeTiffPreview(const std::filesystem::path& AFileName, std::uint32_t AMaxSide,
                             platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

} // namespace kvaderon
