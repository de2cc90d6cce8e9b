// The preview picture: every step-th row and column of each layout, compared with a plain model
// of the samples; files it cannot show give nothing.
#include "TiffPreview.h"

#include "TempDir.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

namespace kvaderon::test {
namespace {

// What the preview must show: the high byte of the sample of each picked pixel.
TTiffPreview ModelPreview(const TImageLayout& ALayout, std::uint32_t AStep) {
    const std::vector<std::uint16_t> samples = ImageSamples(ALayout);
    const bool rgb = ALayout.Photometric == 2 && ALayout.SamplesPerPixel >= 3;
    TTiffPreview preview;
    preview.Width = (ALayout.Width + AStep - 1) / AStep;
    preview.Height = (ALayout.Height + AStep - 1) / AStep;
    for (std::uint32_t y = 0; y < preview.Height; ++y)
        for (std::uint32_t x = 0; x < preview.Width; ++x)
            for (std::uint32_t c = 0; c < 3; ++c) {
                const std::uint32_t channel = rgb ? c : 0;
                const std::size_t pixel = std::size_t(y) * AStep * ALayout.Width + std::size_t(x) * AStep;
                const std::size_t index = ALayout.Planar == 2
                                              ? channel * ALayout.Width * ALayout.Height + pixel
                                              : pixel * ALayout.SamplesPerPixel + channel;
                preview.Rgb.push_back(std::uint8_t(samples[index] >> 8));
            }
    return preview;
}

TEST(TiffPreviewTest, PicksEveryStepthRowAndColumnOfEachLayout) {
    struct TCase {
        const char* Name;
        TImageLayout Layout;
        std::uint32_t MaxSide;
        std::uint32_t Step;
    };
    const auto layout = [](bool ABig, std::uint16_t ASamples, std::uint16_t APlanar, std::uint16_t APhotometric,
                           std::uint32_t AStrips) {
        TImageLayout result;
        result.BigEndian = ABig;
        result.Width = 7;
        result.Height = 5;
        result.SamplesPerPixel = ASamples;
        result.Planar = APlanar;
        result.Photometric = APhotometric;
        result.StripsPerPlane = AStrips;
        return result;
    };
    for (const TCase& test : {
             TCase{"grey, whole image", layout(false, 1, 1, 1, 1), 100, 1},
             TCase{"grey, step 3", layout(false, 1, 1, 1, 1), 3, 3},
             TCase{"RGB interleaved, big-endian, 5 strips", layout(true, 3, 1, 2, 5), 4, 2},
             TCase{"RGBA interleaved", layout(false, 4, 1, 2, 1), 3, 3},
             TCase{"RGB planar, strips per plane 5", layout(false, 3, 2, 2, 5), 2, 4},
             TCase{"two channels shown as grey", layout(false, 2, 1, 1, 1), 7, 1},
         }) {
        SCOPED_TRACE(test.Name);
        TTempDir dir;
        WriteFile(dir / "scan.tif", BuildImage(test.Layout).Build());
        const std::optional<TTiffPreview> preview = MakeTiffPreview(dir / "scan.tif", test.MaxSide);
        ASSERT_TRUE(preview.has_value());
        EXPECT_EQ(*preview, ModelPreview(test.Layout, test.Step));
        EXPECT_EQ(InvertedPreview(*preview).Rgb.front(), 255 - preview->Rgb.front());
    }
}

TEST(TiffPreviewTest, FilesItCannotShowGiveNothing) {
    TTempDir dir;
    WriteFile(dir / "eight.tif", BuildImage({}).Set(tagBitsPerSample, typeShort, {8}).Build());
    WriteFile(dir / "text.tif", {'n', 'o', 't', ' ', 'a', ' ', 't', 'i', 'f', 'f'});
    WriteFile(dir / "empty.tif", {});
    TBytes cut = BuildImage({}).Build();
    cut.resize(cut.size() / 2);
    WriteFile(dir / "cut.tif", cut);
    for (const char* name : {"eight.tif", "text.tif", "empty.tif", "missing.tif"})
        EXPECT_FALSE(MakeTiffPreview(dir / name, 100).has_value()) << name;
    MakeTiffPreview(dir / "cut.tif", 100); // shown partly or not at all, never read past the end
    EXPECT_FALSE(MakeTiffPreview(dir.Path(), 100).has_value()) << "a folder";
}

} // namespace
} // namespace kvaderon::test
