// The preview picture: every step-th row and column of each layout, compared with a plain model
// of the samples; its positive, compared with the file the inverter writes; files it cannot show
// give their reason.
#include "TiffPreview.h"

#include "TempDir.h"
#include "TiffBuilder.h"
#include "TiffInverterSingleThread.h"

#include <gtest/gtest.h>

namespace kvaderon::test {
namespace {

// What the preview must show: the high byte of the sample of each picked pixel.
TTiffPicture ModelPreview(const TImageLayout& ALayout, std::uint32_t AStep) {
    const std::vector<std::uint16_t> samples = ImageSamples(ALayout);
    const bool rgb = ALayout.Photometric == 2 && ALayout.SamplesPerPixel >= 3;
    TTiffPicture preview;
    preview.Width = (ALayout.Width + AStep - 1) / AStep;
    preview.Height = (ALayout.Height + AStep - 1) / AStep;
    for (std::uint32_t y = 0; y < preview.Height; ++y)
        for (std::uint32_t x = 0; x < preview.Width; ++x)
            for (std::uint32_t c = 0; c < 3; ++c) {
                const std::uint32_t channel = rgb ? c : 0;
                const std::size_t pixel = std::size_t(y) * AStep * ALayout.Width + std::size_t(x) * AStep;
                const std::size_t index = ALayout.Planar == 2 ? channel * ALayout.Width * ALayout.Height + pixel
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
        const TTiffPreview preview = MakeTiffPreview(dir / "scan.tif", test.MaxSide);
        ASSERT_EQ(preview.Refusal, "");
        EXPECT_EQ(preview.Negative, ModelPreview(test.Layout, test.Step));
    }
}

// The positive shown is the same pick of the file the inverter writes, for every layout, sample
// format and byte order: alpha kept, signed samples negated, not every byte turned over.
TEST(TiffPreviewTest, PositiveIsThePickOfTheFileTheInverterWrites) {
    struct TLayoutCase {
        const char* Name;
        std::uint16_t Samples;
        std::uint16_t Planar;
        std::uint16_t Photometric;
        std::vector<std::uint16_t> Extra;
    };
    for (const TLayoutCase& shape : {
             TLayoutCase{"grey", 1, 1, 1, {}},
             TLayoutCase{"RGB interleaved", 3, 1, 2, {}},
             TLayoutCase{"RGBA interleaved", 4, 1, 2, {2}},
             TLayoutCase{"RGB planar", 3, 2, 2, {}},
         })
        for (const std::uint16_t format : {1, 2})
            for (const bool big : {false, true}) {
                SCOPED_TRACE(std::string(shape.Name) + (format == 2 ? ", signed" : ", unsigned") +
                             (big ? ", big-endian" : ", little-endian"));
                TImageLayout layout;
                layout.BigEndian = big;
                layout.Width = 9;
                layout.Height = 6;
                layout.SamplesPerPixel = shape.Samples;
                layout.Planar = shape.Planar;
                layout.Photometric = shape.Photometric;
                layout.ExtraSamples = shape.Extra;
                layout.SampleFormat = format;
                layout.StripsPerPlane = 2;
                // Signed values on both sides of zero, and the four of the complaint.
                layout.Samples = ImageSamples(layout);
                const std::uint16_t known[] = {0x9000, 0x8000, 0xF000, 0x7F00};
                for (std::size_t i = 0; i < layout.Samples.size(); ++i)
                    layout.Samples[i] = std::uint16_t(known[i % 4] + i * 0x0101);
                TTempDir dir;
                WriteFile(dir / "in.tif", BuildImage(layout).Build());
                TTIFFInverterSingle().InvertTIFF16Bit(dir / "in.tif", dir / "out.tif");
                const TTiffPreview preview = MakeTiffPreview(dir / "in.tif", 3);
                const TTiffPreview written = MakeTiffPreview(dir / "out.tif", 3);
                ASSERT_EQ(preview.Refusal, "");
                EXPECT_EQ(preview.Positive, written.Negative);
                EXPECT_NE(preview.Positive, preview.Negative);
            }
}

TEST(TiffPreviewTest, FilesItCannotShowGiveTheirReason) {
    TTempDir dir;
    WriteFile(dir / "eight.tif", BuildImage({}).Set(tagBitsPerSample, dtShort, {8}).Build());
    WriteFile(dir / "text.tif", {'n', 'o', 't', ' ', 'a', ' ', 't', 'i', 'f', 'f'});
    WriteFile(dir / "empty.tif", {});
    TBytes cut = BuildImage({}).Build();
    cut.resize(cut.size() / 2);
    WriteFile(dir / "cut.tif", cut);
    for (const char* name : {"eight.tif", "text.tif", "empty.tif", "missing.tif", "cut.tif"}) {
        const TTiffPreview preview = MakeTiffPreview(dir / name, 100);
        EXPECT_NE(preview.Refusal, "") << name;
        EXPECT_TRUE(preview.Negative.Rgb.empty() && preview.Positive.Rgb.empty()) << name;
    }
    EXPECT_NE(MakeTiffPreview(dir.Path(), 100).Refusal, "") << "a folder";
}

} // namespace
} // namespace kvaderon::test
