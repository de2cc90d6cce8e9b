// The proof of an inversion: every pair the inverter writes holds, and each tampered positive is
// caught at its first difference with the right kind.
#include "Verification.h"
#include "InverterTestSupport.h"
#include "MemoryFileSystem.h"
#include "TiffSamples.h"

#include <gtest/gtest.h>

#include <functional>

namespace kvaderon {
namespace {

using namespace test;
namespace fs = std::filesystem;

const fs::path negativePath = "/scans/neg.tif";
const fs::path positivePath = "/out/neg.tif";

// The positive the inverter writes for ANegative.
TBytes PositiveOf(const TBytes& ANegative) {
    TMemoryFileSystem files;
    files.Write(negativePath, ANegative);
    TTIFFInverterSingle(files).Invert(negativePath, positivePath, {});
    return files.Node(positivePath).Bytes;
}

TVerification Verify(const TBytes& ANegative, const TBytes& APositive) {
    TMemoryFileSystem files;
    files.Write(negativePath, ANegative);
    files.Write(positivePath, APositive);
    return VerifyInversion(files, negativePath, positivePath);
}

// RGB with unassociated alpha, 4 x 2 pixels: samples at [8, 72), then an ICC profile, then the IFD.
struct TRgba {
    TBytes File;
    std::uint32_t Profile = 0;
};

TRgba RgbaWithProfile(const std::function<void(TImageLayout&)>& AChange = {}) {
    TImageLayout layout;
    layout.SamplesPerPixel = 4;
    layout.Photometric = 2;
    layout.ExtraSamples = {2};
    if (AChange)
        AChange(layout);
    TTiffBuilder builder = BuildImage(layout);
    const TBytes profile(40, 0x5A);
    const std::uint32_t at = builder.AddBlob(profile);
    builder.AddRaw(34675, 7, std::uint32_t(profile.size()), at);
    return {builder.Build(), at};
}

std::uint32_t IFDOffsetOf(const TBytes& AFile) {
    return AFile[4] | AFile[5] << 8 | AFile[6] << 16 | std::uint32_t(AFile[7]) << 24;
}

TEST(Verification, EveryPairTheInverterWritesHolds) {
    for (const auto& [name, bytes] : TiffLayouts()) {
        SCOPED_TRACE(name);
        const TVerification result = Verify(bytes, PositiveOf(bytes));
        EXPECT_TRUE(result.Holds()) << VerificationText(result);
        EXPECT_EQ(VerificationText(result), "ОК! (проверено)");
    }
}

TEST(Verification, ATamperedPairIsCaughtAtItsFirstDifference) {
    const TRgba rgba = RgbaWithProfile();
    const TRgba bigEndian = RgbaWithProfile([](TImageLayout& ALayout) { ALayout.BigEndian = true; });
    const TRgba otherSamples = RgbaWithProfile([](TImageLayout& ALayout) {
        ALayout.Samples = ImageSamples(ALayout);
        ALayout.Samples[5] += 1;
    });
    TImageLayout planarAlpha;
    planarAlpha.SamplesPerPixel = 4;
    planarAlpha.Photometric = 2;
    planarAlpha.Planar = 2;
    planarAlpha.ExtraSamples = {1};
    TImageLayout large; // more than one chunk of the comparison
    large.Width = 1024;
    large.Height = 600;
    const TBytes planarFile = BuildImage(planarAlpha).Build();
    const TBytes largeFile = BuildImage(large).Build();

    struct TCase {
        const char* Name;
        TBytes Negative;
        std::function<void(TBytes&)> Tamper; // of the true positive
        TDifferenceKind Kind;
        std::uint64_t Offset;
    };
    const auto flip = [](std::size_t AAt, std::uint8_t AMask = 0x01) {
        return [=](TBytes& APositive) { APositive[AAt] ^= AMask; };
    };
    const std::uint32_t ifd = IFDOffsetOf(rgba.File);
    const std::uint64_t size = rgba.File.size();
    const std::vector<TCase> cases = {
        {"a byte of a tag's value", rgba.File, flip(ifd + 2 + 8), TDifferenceKind::dkOutsideImage, ifd + 10},
        {"a byte of the ICC profile", rgba.File, flip(rgba.Profile + 5), TDifferenceKind::dkOutsideImage,
         rgba.Profile + 5},
        {"the last byte, after the last strip", rgba.File, flip(size - 1), TDifferenceKind::dkOutsideImage, size - 1},
        {"a sample off by one", rgba.File, flip(10), TDifferenceKind::dkSampleNotInverted, 10},
        {"a sample off by one, big-endian", bigEndian.File, flip(11), TDifferenceKind::dkSampleNotInverted, 11},
        {"an alpha sample inverted", rgba.File, [](TBytes& APositive) { APositive[14] ^= 0xFF, APositive[15] ^= 0xFF; },
         TDifferenceKind::dkKeptSampleChanged, 14},
        {"a sample of the alpha plane changed", planarFile, flip(8 + 3 * 16), TDifferenceKind::dkKeptSampleChanged,
         8 + 3 * 16},
        {"a sample in a later chunk", largeFile, flip(8 + 2 * 600000 + 1), TDifferenceKind::dkSampleNotInverted,
         8 + 2 * 600000 + 1},
        {"a truncated positive", rgba.File, [](TBytes& APositive) { APositive.resize(APositive.size() - 10); },
         TDifferenceKind::dkLength, size - 10},
        {"a longer positive", rgba.File, [](TBytes& APositive) { APositive.push_back(0); }, TDifferenceKind::dkLength,
         size},
        {"the positive of another negative", rgba.File,
         [&](TBytes& APositive) { APositive = PositiveOf(otherSamples.File); }, TDifferenceKind::dkSampleNotInverted,
         8 + 2 * 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBytes positive = PositiveOf(c.Negative);
        ASSERT_TRUE(Verify(c.Negative, positive).Holds());
        c.Tamper(positive);
        const TVerification result = Verify(c.Negative, positive);
        EXPECT_EQ(result.Kind, c.Kind);
        EXPECT_EQ(result.Offset, c.Offset);
        EXPECT_EQ(VerificationText(result),
                  "Первое отличие на смещении " + std::to_string(c.Offset) + ": " + DifferenceKindText(c.Kind));
    }
}

TEST(Verification, ANegativeTheInverterRefusesOrAMissingFileIsAnErrorNamingThePositive) {
    TTiffBuilder eightBit = RgbImage();
    eightBit.Set(tagBitsPerSample, dtShort, {8, 8, 8});
    const TBytes good = RgbImage().Build();
    struct TCase {
        const char* Name;
        std::optional<TBytes> Negative, Positive; // nothing: no such file
        std::string Reason;
    };
    const std::vector<TCase> cases = {
        {"not 16-bit", eightBit.Build(), good, "Поддерживается только 16-битный TIFF"},
        {"no positive", good, std::nullopt, "Файл или папка не найдены"},
        {"no negative", std::nullopt, good, "Файл или папка не найдены"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryFileSystem files;
        if (c.Negative)
            files.Write(negativePath, *c.Negative);
        if (c.Positive)
            files.Write(positivePath, *c.Positive);
        try {
            VerifyInversion(files, negativePath, positivePath);
            ADD_FAILURE() << "no error";
        } catch (const ETIFFError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind("Не удалось проверить /out/neg.tif: ", 0), 0u) << message;
            EXPECT_NE(message.find(c.Reason), std::string::npos) << message;
        }
    }
}

// A bad disk or memory: the copy read back differs from what was written. No target, no
// temporary file, and the message tells where.
TEST(Verification, InvertingWithVerifyRefusesACopyThatReadsBackWrong) {
    const TBytes negative = RgbImage().Build();
    TMemoryFileSystem files;
    files.Write(negativePath, negative);
    files.BeforeCall = [&](std::size_t) {
        for (const std::string& path : files.Paths())
            if (path.find(".kvaderon-") != std::string::npos && files.Node(path).Bytes.size() == negative.size() &&
                files.Node(path).Bytes[20] != negative[20])
                files.Node(path).Bytes[20] = negative[20]; // the copy's sample keeps its negative's byte
    };
    TInversionOptions options;
    options.Verify = true;
    try {
        TTIFFInverterSingle(files).Invert(negativePath, positivePath, options);
        ADD_FAILURE() << "no error";
    } catch (const ETIFFError& error) {
        EXPECT_NE(std::string(error.what())
                      .find("не совпал с инверсией при проверке. Первое отличие на смещении 20: "
                            "сэмпл не инвертирован"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(files.Paths(), std::vector<std::string>{negativePath.string()});

    files.BeforeCall = nullptr;
    EXPECT_TRUE(TTIFFInverterSingle(files).Invert(negativePath, positivePath, options).Verified);
    EXPECT_EQ(files.Node(positivePath).Bytes, PositiveOf(negative));
}

} // namespace
} // namespace kvaderon
