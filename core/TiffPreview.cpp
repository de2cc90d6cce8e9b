// The preview reads the strips as one stream of rows (per plane for planar files) and picks the
// rows and columns it shows.
#include "TiffPreview.h"

#include "ByteOrder.h"
#include "ByteSource.h"
#include "FileRange.h"
#include "StripTable.h"
#include "TiffAnalysisReader.h"

#include <algorithm>

namespace kvaderon {

namespace {

// A preview does not read rows longer than this (a width of hundreds of thousands of samples).
constexpr std::uint64_t MaxRowBytes = 4 * 1024 * 1024;

// The strips of one plane as one stream of bytes, in table order.
class TStripStream {
public:
    TStripStream(const TAnalysisTIFFInfo& AInfo, std::size_t AFirst, std::size_t ACount, std::uint64_t AFileSize) {
        for (std::size_t i = AFirst; i < AFirst + ACount; ++i) {
            const std::uint32_t offset = AInfo.StripOffsets[i];
            const std::uint32_t length = AInfo.StripByteCounts[i];
            if (length == 0 || !IsRangeInside(offset, length, AFileSize))
                continue;
            FStrips.push_back({FLength, offset, length});
            FLength += length;
        }
    }

    // Copies [AAt, AAt + ALength) of the stream; false when the stream is shorter.
    bool Read(platform::TFile& AFile, const std::filesystem::path& APath, std::uint64_t AAt, std::uint8_t* AData,
              std::uint64_t ALength) const {
        if (!IsRangeInside(AAt, ALength, FLength))
            return false;
        auto strip = std::upper_bound(FStrips.begin(), FStrips.end(), AAt,
                                      [](std::uint64_t AValue, const TStrip& AStrip) { return AValue < AStrip.StreamAt; });
        for (--strip; ALength > 0; ++strip) {
            const std::uint64_t inside = AAt - strip->StreamAt;
            const std::uint64_t part = std::min<std::uint64_t>(ALength, strip->Length - inside);
            platform::ReadExactly(AFile, strip->FileAt + inside, AData, std::size_t(part), APath);
            AData += part;
            AAt += part;
            ALength -= part;
        }
        return true;
    }

private:
    struct TStrip {
        std::uint64_t StreamAt;
        std::uint64_t FileAt;
        std::uint64_t Length;
    };
    std::vector<TStrip> FStrips;
    std::uint64_t FLength = 0;
};

} // namespace

std::optional<TTiffPreview> MakeTiffPreview(const std::filesystem::path& AFileName, std::uint32_t AMaxSide,
                                            platform::TFileSystem& AFileSystem) {
    try {
        const std::unique_ptr<platform::TFile> file = AFileSystem.OpenRead(AFileName);
        const std::uint64_t fileSize = file->Info().Size;
        TAnalysisTIFFInfo info;
        std::string reason;
        if (!ParseTIFFForAnalysis(TFileBytes(*file, fileSize, AFileName), info, reason) ||
            !FindStripTableDamage(info.StripOffsets, info.StripByteCounts, fileSize, info.Structure).empty())
            return std::nullopt;
        const std::uint32_t width = info.ImageWidth;
        const std::uint32_t height = info.ImageHeight;
        const std::uint32_t samples = info.SamplesPerPixel;
        const bool planar = info.PlanarConfiguration == 2;
        const std::size_t stripCount = info.StripOffsets.size();
        if (width == 0 || height == 0 || samples == 0 || AMaxSide == 0 || (planar && stripCount % samples != 0))
            return std::nullopt;
        const std::uint32_t channels = info.PhotometricInterpretation == 2 && samples >= 3 ? 3 : 1;
        const std::uint64_t samplesPerRow = planar ? width : std::uint64_t(width) * samples;
        if (samplesPerRow * 2 > MaxRowBytes)
            return std::nullopt;

        std::vector<TStripStream> planes;
        const std::size_t stripsPerPlane = planar ? stripCount / samples : stripCount;
        for (std::uint32_t plane = 0; plane < (planar ? channels : 1); ++plane)
            planes.emplace_back(info, plane * stripsPerPlane, stripsPerPlane, fileSize);

        const std::uint32_t step = (std::max(width, height) + AMaxSide - 1) / AMaxSide;
        TTiffPreview preview;
        preview.Width = (width + step - 1) / step;
        preview.Height = (height + step - 1) / step;
        preview.Rgb.assign(std::size_t(preview.Width) * preview.Height * 3, 0);
        std::vector<std::uint8_t> row(std::size_t(samplesPerRow * 2));
        for (std::uint32_t y = 0; y < preview.Height; ++y) {
            std::uint8_t* out = preview.Rgb.data() + std::size_t(y) * preview.Width * 3;
            for (std::uint32_t channel = 0; channel < channels; ++channel) {
                const TStripStream& stream = planes[planar ? channel : 0];
                if ((planar || channel == 0) &&
                    !stream.Read(*file, AFileName, std::uint64_t(y) * step * row.size(), row.data(), row.size()))
                    break;
                for (std::uint32_t x = 0; x < preview.Width; ++x) {
                    const std::uint64_t sample = planar ? std::uint64_t(x) * step
                                                        : std::uint64_t(x) * step * samples + channel;
                    const std::uint8_t value = std::uint8_t(ReadU16(row.data() + sample * 2, info.IsBigEndian) >> 8);
                    for (std::uint32_t target = channel; target < (channels == 1 ? 3u : channel + 1); ++target)
                        out[std::size_t(x) * 3 + target] = value;
                }
            }
        }
        return preview;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

TTiffPreview InvertedPreview(TTiffPreview APreview) {
    for (std::uint8_t& value : APreview.Rgb)
        value = std::uint8_t(255 - value);
    return APreview;
}

} // namespace kvaderon
