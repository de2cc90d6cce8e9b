#include "TiffAnalysisReader.h"
#include "TIFFBitDepthAnalyzer.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kvaderon {
namespace {

using namespace test;

TBitDepthResult AnalyzeInMemory(const TBytes& ABytes) {
    const auto copy = ExactCopy(ABytes);
    return TTIFFBitDepthAnalyzer().AnalyzeBytes(copy.get(), ABytes.size(), TAnalysisMode::amPrecise);
}

struct TParsed {
    bool Accepted = false;
    TAnalysisTiffInfo Info;
    std::string Reason;
};

TParsed Parse(const TBytes& ABytes) {
    const auto copy = ExactCopy(ABytes);
    TParsed parsed;
    parsed.Accepted = ParseTIFFForAnalysis(copy.get(), ABytes.size(), parsed.Info, parsed.Reason);
    return parsed;
}

// Puts the entry for ATag first, so that it is met before every other entry.
void MoveFirst(TTiffBuilder& ABuilder, std::uint16_t ATag) {
    auto& entries = ABuilder.Entries();
    std::stable_partition(entries.begin(), entries.end(), [ATag](const TEntry& AEntry) { return AEntry.Tag == ATag; });
}

// StripOffsets becomes two LONGs read from AFromEnd bytes before the end of the file.
TBytes StripOffsetsNearEnd(std::uint32_t AFromEnd) {
    TTiffBuilder builder = RgbImage();
    builder.Set(tagStripByteCounts, dtShort, {0, 0}).Remove(tagStripOffsets).AddRaw(tagStripOffsets, dtLong, 2, 0);
    const auto size = std::uint32_t(builder.Build().size());
    builder.Entries().back().RawField = size - AFromEnd;
    return builder.Build();
}

struct TRejection {
    const char* Name;
    TBytes File;
    std::string Reason;
};

TEST(AnalyzerReader, RejectsEachFaultWithItsReason) {
    const TBytes good = RgbImage().Build();
    const auto size = std::uint32_t(good.size());
    const std::vector<TRejection> cases = {
        {"seven bytes", TBytes(good.begin(), good.begin() + 7), "Файл слишком мал для TIFF"},
        {"bad signature", ChangedRgbImage([](auto& b) { b.Signature("IM"); }),
         "Неверная сигнатура TIFF (не \"II\" и не \"MM\")"},
        {"IFD at end of file", ChangedRgbImage([&](auto& b) { b.IFDOffset(size); }), "Смещение IFD за пределами файла"},
        {"IFD one byte before end", ChangedRgbImage([&](auto& b) { b.IFDOffset(size - 1); }),
         "Недостаточно данных для чтения количества записей IFD"},
        {"IFD at 0 reads the byte-order mark", ChangedRgbImage([](auto& b) { b.IFDOffset(0); }),
         "Недопустимое количество записей IFD: 18761"},
        {"no entries", ChangedRgbImage([](auto& b) { b.EntryCount(0); }), "Недопустимое количество записей IFD: 0"},
        {"1001 entries", ChangedRgbImage([](auto& b) { b.EntryCount(1001); }),
         "Недопустимое количество записей IFD: 1001"},
        {"entries past the end", ChangedRgbImage([](auto& b) { b.EntryCount(1000); }),
         "Недостаточно данных для чтения всех записей IFD"},
        {"no BitsPerSample", ChangedRgbImage([](auto& b) { b.Remove(tagBitsPerSample); }),
         "Неподдерживаемая битность: 0 бит (требуется 16)"},
        {"8-bit LZW, compression met first", ChangedRgbImage([](auto& b) {
             b.Set(tagBitsPerSample, dtShort, {8, 8, 8}).Set(tagCompression, dtShort, {5});
             MoveFirst(b, tagCompression);
         }),
         "Неподдерживаемая битность: 8 бит (требуется 16)"},
        {"8-bit LZW, bit depth met first", ChangedRgbImage([](auto& b) {
             b.Set(tagBitsPerSample, dtShort, {8, 8, 8}).Set(tagCompression, dtShort, {5});
         }),
         "Неподдерживаемая битность: 8 бит (требуется 16)"},
        {"compression 0 has no name", ChangedRgbImage([](auto& b) { b.Set(tagCompression, dtShort, {0}); }),
         "Неподдерживаемый метод сжатия: 0 (Неизвестный), требуется 1 (без сжатия)"},
        {"LZW", ChangedRgbImage([](auto& b) { b.Set(tagCompression, dtShort, {5}); }),
         "Неподдерживаемый метод сжатия: 5 (LZW), требуется 1 (без сжатия)"},
        {"inline BitsPerSample 16,8", ChangedRgbImage([](auto& b) {
             b.Set(tagSamplesPerPixel, dtShort, {2}).Set(tagBitsPerSample, dtShort, {16, 8});
         }),
         "BitsPerSample (258): неравномерная битность: [16,8]"},
        {"BitsPerSample 16,16,8 at an offset", ChangedRgbImage([](auto& b) {
             b.Set(tagBitsPerSample, dtShort, {16, 16, 8});
         }),
         "BitsPerSample (258): неравномерная битность: [16,16,8]"},
        {"BitsPerSample of Count 0",
         ChangedRgbImage([](auto& b) { b.Remove(tagBitsPerSample).AddRaw(tagBitsPerSample, dtShort, 0, 0); }),
         "BitsPerSample (258): пустой массив"},
        {"SubIFDs of DataType ASCII", ChangedRgbImage([](auto& b) { b.AddRaw(tagSubIFDs, dtAscii, 1, 64); }),
         "Тег 330: неподдерживаемый DataType 2"},
        {"Count test before DataType test",
         ChangedRgbImage([](auto& b) { b.Remove(tagStripOffsets).AddRaw(tagStripOffsets, 13, 1000001, 8); }),
         "Тег 273: подозрительно большой Count = 1000001"},
        {"ImageWidth value past the end",
         ChangedRgbImage([&](auto& b) { b.Remove(tagImageWidth).AddRaw(tagImageWidth, dtLong, 2, size + 100); }),
         "Тег 256: смещение значения за пределами файла"},
        {"ExtraSamples array past the end",
         ChangedRgbImage([&](auto& b) { b.AddRaw(tagExtraSamples, dtShort, 4, size + 100); }),
         "Тег 338: смещение массива за пределами файла"},
        {"StripOffsets one byte short", StripOffsetsNearEnd(7),
         "Тег 273: недостаточно данных для массива (8 байт требуется)"},
        {"no StripOffsets", ChangedRgbImage([](auto& b) { b.Remove(tagStripOffsets); }),
         "Неверная структура TIFF (отсутствуют или некорректны StripOffsets/StripByteCounts)"},
        {"five offsets, four byte counts", ChangedRgbImage([](auto& b) {
             b.Set(tagStripOffsets, dtLong, {8, 8, 8, 8, 8}).Set(tagStripByteCounts, dtLong, {2, 2, 2, 2});
         }),
         "Неверная структура TIFF (отсутствуют или некорректны StripOffsets/StripByteCounts)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TBitDepthResult result = AnalyzeInMemory(c.File);
        EXPECT_EQ(result.RejectionReason, c.Reason);
        EXPECT_EQ(result.Error, "Файл отклонен: " + c.Reason);
        EXPECT_FALSE(result.IsActually8Bit);
        EXPECT_FALSE(result.IsActually16Bit);
        // Structural facts of a rejected file stay cleared.
        EXPECT_EQ(result.ImageWidth, 0);
        EXPECT_EQ(result.SamplesPerPixel, 0);
        EXPECT_EQ(result.StripCount, 0);
        EXPECT_EQ(result.MinValue, 65535);
    }
}

TEST(AnalyzerReader, MissingTagsTakeTheirDefaults) {
    const TParsed parsed = Parse(ChangedRgbImage([](auto& b) {
        for (std::uint16_t tag : {tagImageWidth, tagImageLength, tagCompression, tagPhotometric, tagSamplesPerPixel,
                                  tagPlanarConfiguration})
            b.Remove(tag);
    }));
    ASSERT_TRUE(parsed.Accepted) << parsed.Reason;
    EXPECT_EQ(parsed.Reason, "");
    EXPECT_EQ(parsed.Info.ImageWidth, 0);
    EXPECT_EQ(parsed.Info.ImageHeight, 0);
    EXPECT_EQ(parsed.Info.Compression, 1);
    EXPECT_EQ(parsed.Info.PhotometricInterpretation, 1);
    EXPECT_EQ(parsed.Info.SamplesPerPixel, 1);
    EXPECT_EQ(parsed.Info.PlanarConfiguration, 1);
    EXPECT_TRUE(parsed.Info.ExtraSamples.empty());
}

TEST(AnalyzerReader, DeliversTheValuesOfBothByteOrders) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MM" : "II");
        TTiffBuilder builder = RgbImage(bigEndian);
        builder.Set(tagImageWidth, dtLong, {70000})
            .Set(tagImageLength, dtShort, {300})
            .Set(tagSamplesPerPixel, dtShort, {4})
            .Set(tagBitsPerSample, dtShort, {16, 16, 16, 16})
            .Set(tagExtraSamples, dtShort, {0, 2})
            .Set(tagPlanarConfiguration, dtShort, {2})
            .Set(tagStripOffsets, dtShort, {8, 10})
            .Set(tagStripByteCounts, dtByte, {2, 200})
            .Version(0);
        const TParsed parsed = Parse(builder.Build());
        ASSERT_TRUE(parsed.Accepted) << parsed.Reason;
        EXPECT_EQ(parsed.Info.BigEndian, bigEndian);
        EXPECT_EQ(parsed.Info.ImageWidth, 70000 % 65536); // the low 16 bits
        EXPECT_EQ(parsed.Info.ImageHeight, 300);
        EXPECT_EQ(parsed.Info.BitsPerSample, 16);
        EXPECT_EQ(parsed.Info.SamplesPerPixel, 4);
        EXPECT_EQ(parsed.Info.PhotometricInterpretation, 2);
        EXPECT_EQ(parsed.Info.PlanarConfiguration, 2);
        EXPECT_EQ(parsed.Info.ExtraSamples, (std::vector<std::uint16_t>{0, 2}));
        EXPECT_EQ(parsed.Info.StripOffsets, (std::vector<std::uint32_t>{8, 10}));
        EXPECT_EQ(parsed.Info.StripByteCounts, (std::vector<std::uint32_t>{2, 200}));
    }
}

TEST(AnalyzerReader, AcceptsWhatTheInverterWouldNotCheck) {
    const std::vector<std::pair<const char*, TBytes>> cases = {
        {"inline BitsPerSample 16,16", ChangedRgbImage([](auto& b) {
             b.Set(tagSamplesPerPixel, dtShort, {2}).Set(tagBitsPerSample, dtShort, {16, 16});
         })},
        {"PlanarConfiguration 3", ChangedRgbImage([](auto& b) { b.Set(tagPlanarConfiguration, dtShort, {3}); })},
        {"SamplesPerPixel 0", ChangedRgbImage([](auto& b) { b.Set(tagSamplesPerPixel, dtShort, {0}); })},
        {"StripOffsets ending on the last byte", StripOffsetsNearEnd(8)},
        {"1000 entries", ChangedRgbImage([](auto& b) {
             for (auto tag = std::uint16_t(60000); b.Entries().size() < 1000; ++tag)
                 b.Add(tag, 13, {0});
         })},
    };
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name);
        const TParsed parsed = Parse(file);
        EXPECT_TRUE(parsed.Accepted);
        EXPECT_EQ(parsed.Reason, "");
    }
}

TEST(AnalyzerReader, LaterEntriesReplaceEarlierOnes) {
    const TParsed parsed = Parse(ChangedRgbImage([](auto& b) {
        b.Add(tagImageWidth, dtShort, {77});
        b.Add(tagSubIFDs, dtLong, {64});
        b.AddRaw(tagSubIFDs, dtLong, 0, 0);
    }));
    ASSERT_TRUE(parsed.Accepted) << parsed.Reason;
    EXPECT_EQ(parsed.Info.ImageWidth, 77);
}

} // namespace
} // namespace kvaderon
