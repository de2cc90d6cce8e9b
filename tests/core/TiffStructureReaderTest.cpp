#include "TiffStructureReader.h"
#include "ByteSource.h"
#include "CommonTypes.h"
#include "MemoryFileSystem.h"
#include "TiffBuilder.h"
#include "platform/SystemError.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace kvaderon {
namespace {

using namespace test;

TTiffStructure Parse(const TBytes& ABytes) {
    return ParseTIFFStructure(ExactCopy(ABytes).get(), ABytes.size());
}

std::string RefusalOf(const TBytes& ABytes) {
    try {
        Parse(ABytes);
    } catch (const ETIFFError& error) {
        return error.what();
    }
    return "<accepted>";
}

// Places AEntries first, in this order, before the rest of the RGB image's entries.
TBytes EntriesFirst(std::vector<TEntry> AEntries, std::vector<std::uint16_t> ADrop = {}) {
    TTiffBuilder builder = RgbImage();
    for (const TEntry& entry : AEntries)
        builder.Remove(entry.Tag);
    for (std::uint16_t tag : ADrop)
        builder.Remove(tag);
    auto& entries = builder.Entries();
    entries.insert(entries.begin(), AEntries.begin(), AEntries.end());
    return builder.Build();
}

TBytes Truncated(TBytes ABytes, std::size_t ASize) {
    ABytes.resize(ASize);
    return ABytes;
}

struct TRefusal {
    const char* Name;
    TBytes File;
    std::string Message;
};

TEST(ParseTIFFStructure, RefusesEachFaultWithItsMessage) {
    const TBytes good = RgbImage().Build();
    const std::uint32_t size = std::uint32_t(good.size());
    const std::vector<TRefusal> cases = {
        {"one byte", {'I'}, "Файл слишком мал для TIFF"},
        {"seven bytes", Truncated(good, 7), "Файл слишком мал для TIFF"},
        {"bad signature", ChangedRgbImage([](auto& b) { b.Signature("IM"); }),
         "Неверная сигнатура TIFF-файла: ожидалось \"II\" или \"MM\""},
        {"IFD at end of file", ChangedRgbImage([&](auto& b) { b.IFDOffset(size); }), "Смещение IFD за пределами файла"},
        {"IFD one byte before end", ChangedRgbImage([&](auto& b) { b.IFDOffset(size - 1); }),
         "Недостаточно данных для чтения количества записей IFD"},
        {"no entries", ChangedRgbImage([](auto& b) { b.EntryCount(0); }), "Недопустимое количество записей IFD (0)"},
        {"1001 entries", ChangedRgbImage([](auto& b) { b.EntryCount(1001); }),
         "Недопустимое количество записей IFD (1001)"},
        {"entries past end", ChangedRgbImage([](auto& b) { b.EntryCount(1000); }),
         "Недостаточно данных для чтения всех записей IFD"},
        {"uneven bits", EntriesFirst({{tagBitsPerSample, dtShort, 3, {16, 16, 8}}}),
         "Тег 258: неравномерная битность каналов: [16,16,8]"},
        {"8-bit", EntriesFirst({{tagBitsPerSample, dtShort, 3, {8, 8, 8}}}),
         "Поддерживается только 16-битный TIFF. Получено 8 бит на сэмпл"},
        {"8-bit LZW, bits first",
         EntriesFirst({{tagBitsPerSample, dtShort, 3, {8, 8, 8}}, {tagCompression, dtShort, 1, {5}}}),
         "Поддерживается только 16-битный TIFF. Получено 8 бит на сэмпл"},
        {"8-bit LZW, compression first",
         EntriesFirst({{tagCompression, dtShort, 1, {5}}, {tagBitsPerSample, dtShort, 3, {8, 8, 8}}}),
         "Поддерживается только сжатие=1 (без сжатия), получено 5"},
        {"empty BitsPerSample", EntriesFirst({{tagBitsPerSample, dtShort, 0, {}}}),
         "Тег 258: пустой массив BitsPerSample"},
        {"planar 3", EntriesFirst({{tagPlanarConfiguration, dtShort, 1, {3}}}),
         "Поддерживается только PlanarConfiguration=1 или 2, получено 3"},
        {"width of type RATIONAL", EntriesFirst({{tagImageWidth, dtRational, 1, {}, 8}}),
         "Тег 256: неподдерживаемый DataType 5"},
        {"width offset past end", EntriesFirst({{tagImageWidth, dtLong, 2, {}, size}}),
         "Тег 256: смещение значения за пределами файла"},
        {"width LONG cut by end", EntriesFirst({{tagImageWidth, dtLong, 2, {}, size - 3}}),
         "Тег 256: недостаточно данных для LONG"},
        {"SHORT cut by end", EntriesFirst({{tagCompression, dtShort, 3, {}, size - 1}}),
         "Тег 259: недостаточно данных для SHORT"},
        {"huge Count", EntriesFirst({{tagStripOffsets, dtLong, 1000001, {}, 8}}),
         "Тег 273: подозрительно большой Count = 1000001"},
        {"huge Count before DataType", EntriesFirst({{tagStripOffsets, dtRational, 1000001, {}, 8}}),
         "Тег 273: подозрительно большой Count = 1000001"},
        {"array type", EntriesFirst({{tagStripOffsets, 7, 2, {}, 8}}), "Тег 273: неподдерживаемый DataType 7"},
        {"array offset past end", EntriesFirst({{tagStripOffsets, dtLong, 2, {}, size}}),
         "Тег 273: смещение массива за пределами файла"},
        {"array one byte too long", EntriesFirst({{tagStripOffsets, dtLong, 2, {}, size - 7}}),
         "Тег 273: недостаточно данных для массива (требуется 8 байт, доступно 7)"},
        {"missing bits and compression",
         ChangedRgbImage([](auto& b) { b.Remove(tagBitsPerSample).Remove(tagCompression); }),
         "Тег BitsPerSample (258) не найден"},
        {"missing offsets", ChangedRgbImage([](auto& b) { b.Remove(tagStripOffsets); }),
         "Тег StripOffsets (273) не найден"},
        {"missing counts and samples",
         ChangedRgbImage([](auto& b) { b.Remove(tagStripByteCounts).Remove(tagSamplesPerPixel); }),
         "Тег StripByteCounts (279) не найден"},
        {"empty offsets", ChangedRgbImage([](auto& b) { b.Set(tagStripOffsets, dtLong, {}); }),
         "Массив StripOffsets пуст"},
        {"5 offsets, 4 counts", ChangedRgbImage([](auto& b) {
             b.Set(tagStripOffsets, dtLong, {8, 8, 8, 8, 8});
             b.Set(tagStripByteCounts, dtLong, {2, 2, 2, 2});
         }),
         "Несовпадение длины StripOffsets (5) и StripByteCounts (4)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RefusalOf(c.File), c.Message) << c.Name;
}

TEST(ParseTIFFStructure, ReadsResultsInEitherByteOrder) {
    for (bool big : {false, true}) {
        TImageLayout layout;
        layout.BigEndian = big;
        layout.SamplesPerPixel = 4;
        layout.Photometric = 2;
        layout.ExtraSamples = {2};
        layout.SampleFormat = 2;
        layout.Planar = 2;
        TTiffBuilder builder = BuildImage(layout);
        builder.Version(7); // any version is judged by its IFD alone
        const TTiffStructure s = Parse(builder.Build());
        EXPECT_EQ(s.BigEndian, big);
        EXPECT_EQ(s.BitsPerSample, 16);
        EXPECT_EQ(s.Compression, 1);
        EXPECT_EQ(s.PhotometricInterpretation, 2);
        EXPECT_EQ(s.SamplesPerPixel, 4);
        EXPECT_EQ(s.PlanarConfiguration, 2);
        EXPECT_EQ(s.SampleFormat, 2);
        EXPECT_EQ(s.StripOffsets.size(), 4u);
        EXPECT_EQ(s.StripByteCounts, std::vector<std::uint32_t>(4, 16));
        EXPECT_EQ(s.ExtraSamples, std::vector<std::uint16_t>{2});
    }
}

TEST(ParseTIFFStructure, DefaultsAndValueRules) {
    TTiffBuilder builder = RgbImage();
    builder.Remove(tagPhotometric).Remove(tagPlanarConfiguration);
    builder.Set(tagCompression, dtLong, {65537});     // cut to 16 bits: 1
    builder.Set(tagSampleFormat, dtShort, {2, 1, 1}); // first of three at an offset
    builder.Add(tagSamplesPerPixel, dtShort, {3});    // a repeated tag: the later one wins
    builder.Entries().front().Values = {640};
    builder.AddRaw(tagImageLength, dtRational, 1, 0); // unread tags are never examined
    const TTiffStructure s = Parse(builder.Build());
    EXPECT_EQ(s.PhotometricInterpretation, 1);
    EXPECT_EQ(s.PlanarConfiguration, 1);
    EXPECT_EQ(s.Compression, 1);
    EXPECT_EQ(s.SampleFormat, 2);
    EXPECT_TRUE(s.ExtraSamples.empty());
    EXPECT_EQ(s.ImageLength, 0u); // unreadable: no preview, but no refusal either

    TTiffBuilder bare = RgbImage();
    bare.Remove(tagCompression).Remove(tagSamplesPerPixel).Remove(tagSampleFormat);
    const TTiffStructure defaults = Parse(bare.Build());
    EXPECT_EQ(defaults.Compression, 1);
    EXPECT_EQ(defaults.SamplesPerPixel, 1);
    EXPECT_EQ(defaults.SampleFormat, 1);
}

TEST(ParseTIFFStructure, InlineArraysAreReadWhole) {
    TImageLayout layout;
    layout.SamplesPerPixel = 2; // BitsPerSample 16,16 fits into the value field
    TTiffBuilder builder = BuildImage(layout);
    builder.Set(tagExtraSamples, dtByte, {0, 2});
    const TTiffStructure s = Parse(builder.Build());
    EXPECT_EQ(s.BitsPerSample, 16);
    EXPECT_EQ(s.ExtraSamples, (std::vector<std::uint16_t>{0, 2}));
}

TEST(ParseTIFFStructure, ArrayEndingAtTheLastByteIsAccepted) {
    // Two strip offsets stored as the file's last 8 bytes.
    TTiffBuilder builder = RgbImage();
    builder.Remove(tagStripOffsets);
    builder.Set(tagStripByteCounts, dtLong, {2, 2});
    builder.AddRaw(tagStripOffsets, dtLong, 2, 0);
    const auto size = std::uint32_t(builder.Build().size());
    builder.Entries().back().RawField = size;
    TBytes bytes = builder.Build();
    bytes.insert(bytes.end(), {10, 0, 0, 0, 12, 0, 0, 0});
    EXPECT_EQ(Parse(bytes).StripOffsets, (std::vector<std::uint32_t>{10, 12}));
    bytes.pop_back();
    EXPECT_EQ(RefusalOf(bytes), "Тег 273: недостаточно данных для массива (требуется 8 байт, доступно 7)");
}

} // namespace
} // namespace kvaderon

namespace kvaderon {
namespace {

// Damaged copies of valid files: every parse ends in a result or an ETIFFError, and no read asks
// the file for a byte past its end.
TEST(ParseTIFFStructure, DamagedFilesNeverReadOutsideTheirBytes) {
    std::mt19937 random(20261210);
    std::vector<test::TBytes> seeds;
    for (bool big : {false, true}) {
        test::TImageLayout layout;
        layout.BigEndian = big;
        layout.SamplesPerPixel = 3;
        layout.Photometric = 2;
        layout.StripsPerPlane = 2;
        seeds.push_back(test::BuildImage(layout).Build());
    }
    test::TMemoryFileSystem files;
    const std::filesystem::path path = "/damaged.tif";
    for (int round = 0; round < 3000; ++round) {
        test::TBytes bytes = seeds[round % seeds.size()];
        const int changes = 1 + int(random() % 4);
        for (int c = 0; c < changes; ++c) {
            const std::size_t at = random() % bytes.size();
            switch (random() % 3) {
            case 0:
                bytes[at] = std::uint8_t(random());
                break;
            case 1:
                bytes[at] ^= std::uint8_t(1u << (random() % 8));
                break;
            default:
                bytes.resize(at);
                break;
            }
            if (bytes.empty())
                break;
        }
        files.Write(path, bytes);
        const auto file = files.OpenRead(path);
        try {
            ParseTIFFStructure(TFileBytes(*file, bytes.size(), path));
        } catch (const ETIFFError&) {
        } catch (const platform::ESystemError& error) {
            ADD_FAILURE() << "round " << round << ": " << error.what();
        }
        ASSERT_EQ(files.ReadsPastTheEnd(), 0u) << "round " << round;
    }
    EXPECT_GT(files.BytesRead(), 0u);
}

} // namespace
} // namespace kvaderon
