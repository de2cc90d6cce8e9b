// The verdict of whole analyses of synthetic pictures, as the report's verdict line and the JSON
// state it: every form of narrower data in 16-bit samples, and the pictures that must not be
// taken for one.
#include "BitDepthVerdict.h"
#include "AnalysisReport.h"
#include "TIFFBitDepthAnalyzer.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

#include <functional>

namespace kvaderon {
namespace {

using namespace test;
using TSampleOf = std::function<std::uint32_t(std::uint32_t)>; // sample index to value

struct TVerdictCase {
    std::string Name;
    std::uint32_t Width, Height;
    std::uint16_t Channels; // 1: grey, 3: interleaved RGB
    TSampleOf Sample;
    TVerdict Verdict;
    std::int32_t EffectiveBits;
    std::string Line;
};

const std::string eightBit = "8-битный контент в 16-битной обёртке → ";
const std::string sixteenBit = "Файл действительно содержит 16-битные данные";

std::string FewerBits(int ABits) {
    return "Файл содержит " + std::to_string(ABits) + "-битные данные в 16-битной обёртке";
}

// A spread of values that uses every one of the low ABits bits: an odd step modulo 2^ABits.
std::uint32_t Spread(std::uint32_t AIndex, int ABits) {
    return (AIndex * 7919u) & ((1u << ABits) - 1);
}

// A dark picture with a few bright specks: 151 levels next to one another, 66 far away.
std::uint32_t DarkWithSpecks(std::uint32_t AIndex) {
    return AIndex % 1000 == 0 ? 2500 + AIndex / 1000 * 15 : AIndex * 7919u % 151;
}

std::vector<TVerdictCase> Cases() {
    using enum TVerdict;
    std::vector<TVerdictCase> cases = {
        {"8 bits in the low byte", 64, 64, 1, [](auto i) { return i % 256; }, vdZeroExtended8, 16,
         eightBit + "Zero-extended (0x00XX)"},
        {"8 bits times 257", 64, 64, 1, [](auto i) { return i % 256 * 257; }, vdReplicated8, 16,
         eightBit + "Репликация (Photoshop, 8-bit × 257 ±1)"},
        {"8 bits shifted into the high byte", 64, 64, 1, [](auto i) { return i % 256 << 8; }, vdHighByte8, 8,
         eightBit + "Сдвиг в старший байт (0xXX00)"},
        {"8 bits in the high byte over 0xFF", 64, 64, 1, [](auto i) { return i % 256 << 8 | 0xFF; }, vdHighByteFF8, 8,
         eightBit + "Сдвиг в старший байт, младший байт 0xFF (0xXXFF)"},
        {"8 bits under 0xFF", 64, 64, 1, [](auto i) { return 0xFF00 + i % 256; }, vdHighFF, 16,
         "Все пиксели 0xFFXX → возможно, инвертированный 8-битный файл"},
        {"12 bits in the low bits", 64, 64, 1, [](auto i) { return Spread(i, 12); }, vd16Bit, 16, sixteenBit},
        {"16 bits", 64, 64, 1, [](auto i) { return Spread(i, 16); }, vd16Bit, 16, sixteenBit},
        {"one value", 64, 64, 1, [](auto) { return 0x1234u; }, vdInconclusive, 0, "Недостаточно данных для вывода"},
        {"RGB: 12 bits shifted, 10 bits over ones, one value", 64, 64, 3,
         [](auto i) {
             const std::uint32_t pixel = i / 3;
             return i % 3 == 0 ? Spread(pixel, 12) << 4 : i % 3 == 1 ? Spread(pixel, 10) << 6 | 0x3F : 0x1234u;
         },
         vdFewerBits, 12, FewerBits(12)},
        {"8 bits through a tone curve", 256, 256, 1, [](auto i) { return (i % 256) * (i % 256) * 65535u / 65025u; },
         vdToneCurve, 16,
         "Вероятно, 8-битные данные, растянутые до 16 бит тоновой кривой (Серый: разных значений 256 на размахе "
         "0–65535, семплов 65536)"},
        {"RGB through a tone curve in green", 256, 256, 3,
         [](auto i) { return i % 3 == 1 ? (i / 3 % 256) * (i / 3 % 256) * 65535u / 65025u : Spread(i, 16); },
         vdToneCurve, 16,
         "Вероятно, 8-битные данные, растянутые до 16 бит тоновой кривой (Зелёный: разных значений 256 на размахе "
         "0–65535, семплов 65536)"},
        {"small real 16-bit picture", 16, 16, 1, [](auto i) { return Spread(i, 16); }, vd16Bit, 16, sixteenBit},
        {"large flat 16-bit picture", 256, 256, 1, [](auto i) { return 30000 + i * 7919u % 200; }, vd16Bit, 16,
         sixteenBit},
        {"large dark 16-bit picture with specks", 256, 256, 1, DarkWithSpecks, vd16Bit, 16, sixteenBit},
        {"large dark 12-bit picture with specks, shifted", 256, 256, 1, [](auto i) { return DarkWithSpecks(i) << 4; },
         vdFewerBits, 12, FewerBits(12)},
    };
    for (int bits = 9; bits <= 15; ++bits) {
        const int shift = 16 - bits;
        cases.push_back({std::to_string(bits) + " bits shifted left", 64, 64, 1,
                         [=](auto i) { return Spread(i, bits) << shift; }, vdFewerBits, bits, FewerBits(bits)});
        cases.push_back({std::to_string(bits) + " bits over ones", 64, 64, 1,
                         [=](auto i) { return Spread(i, bits) << shift | ((1u << shift) - 1); }, vdFewerBits, bits,
                         FewerBits(bits)});
    }
    return cases;
}

TEST(BitDepthVerdict, SyntheticPicturesGetTheirVerdictAndEffectiveBits) {
    for (const TVerdictCase& c : Cases()) {
        SCOPED_TRACE(c.Name);
        TImageLayout layout;
        layout.Width = c.Width;
        layout.Height = c.Height;
        layout.SamplesPerPixel = c.Channels;
        layout.Photometric = c.Channels == 3 ? 2 : 1;
        layout.Samples.resize(SampleCount(layout));
        for (std::uint32_t i = 0; i < layout.Samples.size(); ++i)
            layout.Samples[i] = std::uint16_t(c.Sample(i));
        const TBytes bytes = BuildImage(layout).Build();
        const TBitDepthResult result =
            TTIFFBitDepthAnalyzer().AnalyzeBytes(bytes.data(), bytes.size(), TAnalysisMode::amDepthOnly);
        ASSERT_EQ(result.Error, "");
        EXPECT_EQ(VerdictWord(result.Verdict), VerdictWord(c.Verdict));
        EXPECT_EQ(int(result.Verdict), int(c.Verdict));
        EXPECT_EQ(result.EffectiveBits, c.EffectiveBits);
        EXPECT_EQ(result.IsActually8Bit, IsEightBit(c.Verdict));
        EXPECT_EQ(BuildAnalysisReport("f.tif", result).at(1).Text, c.Line + "\n");
    }
}

} // namespace
} // namespace kvaderon
