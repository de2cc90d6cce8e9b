// The preview reads the strips as one stream of rows (per plane for planar files) and picks the
// rows and columns it shows; the inverter's plan turns each piece read into the positive's bytes.
#include "TiffPreview.h"

#include "ByteOrder.h"
#include "ByteSource.h"
#include "FileRange.h"
#include "InversionPlan.h"
#include "TiffStructureReader.h"

#include <algorithm>
#include <cstring>

namespace kvaderon {

namespace {

// A preview does not read rows longer than this (a width of hundreds of thousands of samples).
constexpr std::uint64_t MaxRowBytes = 4 * 1024 * 1024;

constexpr const char* NoPreview = "Предпросмотр этого файла невозможен";

// The strips of one plane as one stream of bytes, in table order.
class TStripStream {
public:
    TStripStream(const TTiffStructure& AInfo, std::size_t AFirst, std::size_t ACount, std::uint64_t AFileSize) {
        for (std::size_t i = AFirst; i < AFirst + ACount; ++i) {
            const std::uint32_t offset = AInfo.StripOffsets[i];
            const std::uint32_t length = AInfo.StripByteCounts[i];
            if (length == 0 || !IsRangeInside(offset, length, AFileSize))
                continue;
            FStrips.push_back({FLength, offset, length});
            FLength += length;
        }
    }

    // Copies [AAt, AAt + ALength) of the stream into ANegative, and into APositive as the inverter
    // writes it; false when the stream is shorter.
    bool Read(platform::TFile& AFile, const std::filesystem::path& APath, const TInversionPlan& APlan,
              std::uint64_t AAt, std::uint8_t* ANegative, std::uint8_t* APositive, std::uint64_t ALength) const {
        if (!IsRangeInside(AAt, ALength, FLength))
            return false;
        auto strip =
            std::upper_bound(FStrips.begin(), FStrips.end(), AAt,
                             [](std::uint64_t AValue, const TStrip& AStrip) { return AValue < AStrip.StreamAt; });
        for (--strip; ALength > 0; ++strip) {
            const std::uint64_t inside = AAt - strip->StreamAt;
            const auto part = std::size_t(std::min<std::uint64_t>(ALength, strip->Length - inside));
            platform::ReadExactly(AFile, strip->FileAt + inside, ANegative, part, APath);
            std::memcpy(APositive, ANegative, part);
            APlan.Apply(APositive, part, strip->FileAt + inside);
            ANegative += part;
            APositive += part;
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

TTiffPicture BlackPicture(std::uint32_t AWidth, std::uint32_t AHeight) {
    TTiffPicture picture;
    picture.Width = AWidth;
    picture.Height = AHeight;
    picture.Rgb.assign(std::size_t(AWidth) * AHeight * 3, 0);
    return picture;
}

// Puts the high bytes of a row's picked samples of one channel into a picture's row; a grey
// file's one channel goes to all three colours.
void PutChannel(const std::uint8_t* ARow, std::uint8_t* AOut, const TTiffStructure& AInfo, std::uint32_t AChannel,
                std::uint32_t AChannels, std::uint32_t AStep, std::uint32_t AWidth) {
    const bool planar = AInfo.PlanarConfiguration == 2;
    for (std::uint32_t x = 0; x < AWidth; ++x) {
        const std::uint64_t sample =
            planar ? std::uint64_t(x) * AStep : std::uint64_t(x) * AStep * AInfo.SamplesPerPixel + AChannel;
        const auto value = std::uint8_t(ReadU16(ARow + sample * 2, AInfo.BigEndian) >> 8);
        for (std::uint32_t target = AChannel; target < (AChannels == 1 ? 3u : AChannel + 1); ++target)
            AOut[std::size_t(x) * 3 + target] = value;
    }
}

TTiffPreview ReadPreview(platform::TFile& AFile, const std::filesystem::path& AFileName, std::uint32_t AMaxSide) {
    const std::uint64_t fileSize = AFile.Info().Size;
    const TFileBytes bytes(AFile, fileSize, AFileName);
    TTiffPreview preview;
    const TInversionPlan plan = PlanInversion(bytes);
    const TTiffStructure& info = plan.Structure();
    const std::uint32_t width = info.ImageWidth;
    const std::uint32_t height = info.ImageLength;
    const std::uint32_t samples = info.SamplesPerPixel;
    const bool planar = info.PlanarConfiguration == 2;
    const std::size_t stripCount = info.StripOffsets.size();
    const std::uint64_t samplesPerRow = planar ? width : std::uint64_t(width) * samples;
    if (width == 0 || height == 0 || samples == 0 || AMaxSide == 0 || (planar && stripCount % samples != 0) ||
        samplesPerRow * 2 > MaxRowBytes) {
        preview.Refusal = NoPreview;
        return preview;
    }
    const std::uint32_t channels = info.PhotometricInterpretation == 2 && samples >= 3 ? 3 : 1;
    std::vector<TStripStream> planes;
    const std::size_t stripsPerPlane = planar ? stripCount / samples : stripCount;
    for (std::uint32_t plane = 0; plane < (planar ? channels : 1); ++plane)
        planes.emplace_back(info, plane * stripsPerPlane, stripsPerPlane, fileSize);

    const auto step = std::uint32_t((std::uint64_t(std::max(width, height)) + AMaxSide - 1) / AMaxSide);
    const auto reduced = [&](std::uint32_t ASide) { return std::uint32_t((std::uint64_t(ASide) + step - 1) / step); };
    preview.Negative = BlackPicture(reduced(width), reduced(height));
    preview.Positive = preview.Negative;
    std::vector<std::uint8_t> negativeRow(std::size_t(samplesPerRow * 2));
    std::vector<std::uint8_t> positiveRow(negativeRow.size());
    const std::size_t pictureRow = std::size_t(preview.Negative.Width) * 3;
    for (std::uint32_t y = 0; y < preview.Negative.Height; ++y) {
        for (std::uint32_t channel = 0; channel < channels; ++channel) {
            const TStripStream& stream = planes[planar ? channel : 0];
            if ((planar || channel == 0) &&
                !stream.Read(AFile, AFileName, plan, std::uint64_t(y) * step * negativeRow.size(), negativeRow.data(),
                             positiveRow.data(), negativeRow.size()))
                break;
            PutChannel(negativeRow.data(), preview.Negative.Rgb.data() + y * pictureRow, info, channel, channels, step,
                       preview.Negative.Width);
            PutChannel(positiveRow.data(), preview.Positive.Rgb.data() + y * pictureRow, info, channel, channels, step,
                       preview.Positive.Width);
        }
    }
    return preview;
}

} // namespace

TTiffPreview MakeTiffPreview(const std::filesystem::path& AFileName, std::uint32_t AMaxSide,
                             platform::TFileSystem& AFileSystem) {
    try {
        const std::unique_ptr<platform::TFile> file = AFileSystem.OpenRead(AFileName);
        return ReadPreview(*file, AFileName, AMaxSide);
    } catch (const std::exception& error) {
        TTiffPreview preview;
        preview.Refusal = error.what();
        return preview;
    }
}

} // namespace kvaderon
