// What the inverter, the analyzer and the preview make of a file's whole structure: strips over
// any part of it, layouts refused by their real cause, and work bounded by the file's size.
#include "CommonTypes.h"
#include "MemoryFileSystem.h"
#include "TIFFBitDepthAnalyzer.h"
#include "TiffBuilder.h"
#include "TiffInverterSingleThread.h"
#include "TiffPreview.h"

#include <gtest/gtest.h>

#include <map>

namespace kvaderon {
namespace {

using namespace test;

const std::string overStructure = "Полоса изображения заходит на заголовок или каталог тегов (файл повреждён)";
const std::string walkDamage = "Каталоги тегов ссылаются друг на друга по кругу или перекрываются (файл повреждён)";

// One file through all three readers, on an in-memory file system that counts the bytes read.
struct TReaders {
    std::string Inversion; // the inverter's reason after "Системная ошибка при обработке …: ", or empty
    std::string Rejection; // the analyzer's rejection reason
    std::string AnalysisError;
    bool Preview = false;
    std::uint64_t InversionBytes = 0;
    std::uint64_t AnalysisBytes = 0;
    std::uint64_t PreviewBytes = 0;
};

TReaders ReadAll(const TBytes& AFile) {
    TReaders result;
    test::TMemoryFileSystem files;
    files.Write("/in.tif", AFile);
    try {
        TTIFFInverterSingle(files).InvertTIFF16Bit("/in.tif", "/out.tif", true);
    } catch (const ETIFFError& error) {
        const std::string text = error.what();
        result.Inversion = text.substr(text.find(": ") + 2);
    }
    result.InversionBytes = files.BytesRead();
    const TBitDepthResult analysis = TTIFFBitDepthAnalyzer(files).AnalyzeBitDepth("/in.tif", TAnalysisMode::amPrecise);
    result.Rejection = analysis.RejectionReason;
    result.AnalysisError = analysis.Error;
    result.AnalysisBytes = files.BytesRead() - result.InversionBytes;
    result.Preview = MakeTiffPreview("/in.tif", 64, files).Refusal.empty();
    result.PreviewBytes = files.BytesRead() - result.InversionBytes - result.AnalysisBytes;
    return result;
}

std::uint32_t U32At(const TBytes& AFile, std::size_t AAt) {
    return AFile[AAt] | AFile[AAt + 1] << 8 | AFile[AAt + 2] << 16 | std::uint32_t(AFile[AAt + 3]) << 24;
}

// The first IFD's offset, entry count and the value field of a tag (little-endian files).
struct TFirstIFD {
    std::uint32_t At;
    std::uint16_t Count;
    std::map<std::uint16_t, std::uint32_t> Field;
};

TFirstIFD FirstIFD(const TBytes& AFile) {
    TFirstIFD ifd{U32At(AFile, 4), 0, {}};
    ifd.Count = std::uint16_t(AFile[ifd.At] | AFile[ifd.At + 1] << 8);
    for (std::size_t i = 0; i < ifd.Count; ++i) {
        const std::size_t entry = ifd.At + 2 + 12 * i;
        ifd.Field[std::uint16_t(AFile[entry] | AFile[entry + 1] << 8)] = U32At(AFile, entry + 8);
    }
    return ifd;
}

// A 4 x 2 RGB image in two strips (8 and 32, 24 bytes each), with a chained second IFD that has
// an out-of-line description and a strip of its own, a SubIFD, an EXIF and a GPS IFD, and four
// bytes nothing points at. Every place is named in Places.
struct TStructureFile {
    TTiffBuilder Builder = RgbImage();
    std::map<std::string, std::uint32_t> Places;

    TStructureFile() {
        TImageLayout layout;
        layout.SamplesPerPixel = 3;
        layout.Photometric = 2;
        layout.StripsPerPlane = 2;
        Builder = BuildImage(layout);
        Places["free bytes"] = Builder.AddBlob({0, 0, 0, 0});
        Places["second image's strip"] = Builder.AddBlob({1, 2, 3, 4});
        Places["second IFD's description"] = Builder.AddBlob({'t', 'h', 'u', 'm', 'b', 'n', 'a', 'i', 'l', 0});
        const TEntry small{tagImageWidth, dtShort, 1, {1}};
        Places["SubIFD"] = Builder.AddIFD({small});
        Places["EXIF IFD"] = Builder.AddIFD({small});
        Places["GPS IFD's next-IFD offset"] = Builder.AddIFD({small}) + 2 + 12;
        Builder.Set(tagSubIFDs, dtLong, {Places["SubIFD"]});
        Builder.Set(34665, dtLong, {Places["EXIF IFD"]});
        Builder.Set(34853, dtLong, {Places["GPS IFD's next-IFD offset"] - 14});
        Builder.SecondIFD({{tagStripOffsets, dtLong, 1, {Places["second image's strip"]}},
                           {tagStripByteCounts, dtLong, 1, {4}},
                           {270, dtAscii, 10, {}, Places["second IFD's description"]}});
        SetSecondStrip(8);
        const TBytes probe = Builder.Build();
        const TFirstIFD ifd = FirstIFD(probe);
        Places["header"] = 6;
        Places["IFD entry count"] = ifd.At;
        Places["IFD entries"] = ifd.At + 2 + 12 * 3;
        Places["next-IFD offset"] = ifd.At + 2 + 12 * ifd.Count;
        Places["second IFD in the chain"] = U32At(probe, ifd.At + 2 + 12 * ifd.Count);
        Places["StripOffsets array"] = ifd.Field.at(tagStripOffsets);
        Places["BitsPerSample array"] = ifd.Field.at(tagBitsPerSample);
    }

    // The second strip moved to AOffset with 2 bytes; the file's layout stays as it is.
    void SetSecondStrip(std::uint32_t AOffset) {
        Builder.Set(tagStripOffsets, dtLong, {8, AOffset});
        Builder.Set(tagStripByteCounts, dtLong, {24, 2});
    }
};

TEST(FileStructure, AStripOverAnyStructureIsDamageForEveryReader) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"free bytes", ""},
        {"header", overStructure},
        {"IFD entry count", overStructure},
        {"IFD entries", overStructure},
        {"next-IFD offset", overStructure},
        {"StripOffsets array", overStructure},
        {"BitsPerSample array", overStructure},
        {"second IFD in the chain", overStructure},
        {"second IFD's description", overStructure},
        {"second image's strip", overStructure},
        {"SubIFD", overStructure},
        {"EXIF IFD", overStructure},
        {"GPS IFD's next-IFD offset", overStructure},
    };
    for (const auto& [place, reason] : cases) {
        SCOPED_TRACE(place);
        TStructureFile file;
        file.SetSecondStrip(file.Places.at(place));
        const TReaders read = ReadAll(file.Builder.Build());
        EXPECT_EQ(read.Inversion, reason);
        EXPECT_EQ(read.Rejection, reason);
        EXPECT_EQ(read.AnalysisError, reason.empty() ? "" : "Файл отклонен: " + reason);
        EXPECT_EQ(read.Preview, reason.empty());
    }
}

// Files whose first image is not one the rules describe, refused before any misleading check.
TEST(FileStructure, LayoutsAreRefusedByTheirRealCause) {
    const std::string bigTiff = "BigTIFF не поддерживается";
    const std::string tiled = "Тайловые TIFF не поддерживаются";
    const std::string reduced = "Первое изображение файла — уменьшенная копия; основное изображение в файле не первое";
    auto tiles = [](TTiffBuilder& AImage) { // the one strip becomes the one tile
        AImage.Remove(tagStripOffsets).Remove(tagStripByteCounts).Remove(tagRowsPerStrip);
        AImage.Set(322, dtShort, {16}).Set(323, dtShort, {16}).Set(324, dtLong, {8}).Set(325, dtLong, {48});
    };
    struct TCase {
        const char* Name;
        std::function<void(TTiffBuilder&)> Change;
        std::string Reason;
    };
    const std::vector<TCase> cases = {
        {"BigTIFF header", [](TTiffBuilder& A) { A.Version(43); }, bigTiff},
        {"tiled 16-bit image", tiles, tiled},
        {"tiled 8-bit image",
         [&](TTiffBuilder& A) {
             tiles(A);
             A.Set(tagBitsPerSample, dtShort, {8, 8, 8});
         },
         tiled},
        {"a reduced-resolution preview first, the full image in a SubIFD",
         [](TTiffBuilder& A) {
             A.Set(254, dtLong, {1});
             A.Set(tagSubIFDs, dtLong, {A.AddIFD({{254, dtLong, 1, {0}}, {tagImageWidth, dtShort, 1, {8}}})});
         },
         reduced},
        {"NewSubfileType 0: the main image", [](TTiffBuilder& A) { A.Set(254, dtLong, {0}); }, ""},
        {"NewSubfileType 2: one page of many", [](TTiffBuilder& A) { A.Set(254, dtLong, {2}); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TReaders read = ReadAll(ChangedRgbImage(c.Change));
        EXPECT_EQ(read.Inversion, c.Reason);
        EXPECT_EQ(read.Rejection, c.Reason);
        EXPECT_EQ(read.Preview, c.Reason.empty());
    }
}

// A chain of AIFDs small IFDs hung from the first IFD's SubIFDs.
TBytes ChainedIFDs(std::size_t AIFDs) {
    return ChangedRgbImage([AIFDs](TTiffBuilder& AImage) {
        std::uint32_t head = 0;
        for (std::size_t i = 0; i < AIFDs; ++i)
            head = AImage.AddIFD({{tagImageWidth, dtShort, 1, {1}}}, head);
        AImage.Set(tagSubIFDs, dtLong, {head});
    });
}

// The next-IFD offset of the IFD at AIFD (little-endian) set to ATarget.
TBytes WithNextIFD(TBytes AFile, std::uint32_t AIFD, std::uint32_t ATarget) {
    const std::size_t at = AIFD + 2 + 12 * std::size_t(AFile[AIFD] | AFile[AIFD + 1] << 8);
    for (int i = 0; i < 4; ++i)
        AFile[at + i] = std::uint8_t(ATarget >> (8 * i));
    return AFile;
}

TEST(FileStructure, TheWalkOverAllIFDsIsBounded) {
    const TBytes twoIFDs = ChangedRgbImage([](TTiffBuilder& A) { A.SecondIFD({{tagImageWidth, dtShort, 1, {1}}}); });
    const std::uint32_t first = U32At(twoIFDs, 4);
    const std::uint32_t second = U32At(twoIFDs, first + 2 + 12 * FirstIFD(twoIFDs).Count);
    const std::vector<std::tuple<std::string, TBytes, std::string>> cases = {
        {"999 IFDs", ChainedIFDs(998), ""},
        {"1001 IFDs", ChainedIFDs(1000), "В файле больше 1000 каталогов тегов (файл повреждён)"},
        {"the first IFD followed by itself", WithNextIFD(twoIFDs, first, first), walkDamage},
        {"the second IFD followed by the first", WithNextIFD(twoIFDs, second, first), walkDamage},
        {"the second IFD followed by itself", WithNextIFD(twoIFDs, second, second), walkDamage},
    };
    for (const auto& [name, file, reason] : cases) {
        SCOPED_TRACE(name);
        const TReaders read = ReadAll(file);
        EXPECT_EQ(read.Inversion, reason);
        EXPECT_EQ(read.Rejection, reason);
        EXPECT_EQ(read.Preview, reason.empty());
    }
}

// Hostile layouts cost at most a few times the file's size in bytes read, for every reader.
TEST(FileStructure, WorkIsBoundedByTheFileSize) {
    // (a) many 2-byte strips alternating between the image data and bytes further on than any
    // read-ahead window reaches.
    const std::uint32_t strips = 4000;
    TImageLayout layout;
    layout.Width = strips;
    layout.Height = 1;
    layout.Samples.assign(SampleCount(layout), 0x1234);
    TTiffBuilder scattered = BuildImage(layout);
    const std::uint32_t far = scattered.AddBlob(TBytes(300000, 0x55));
    std::vector<std::uint32_t> offsets, counts(strips, 2);
    for (std::uint32_t i = 0; i < strips; ++i)
        offsets.push_back((i % 2 ? far + 290000 : 8) + 2 * (i / 2));
    scattered.Set(tagStripOffsets, dtLong, offsets).Set(tagStripByteCounts, dtLong, counts);

    // (b) StripOffsets and StripByteCounts repeated 300 times, every copy naming the same arrays.
    TTiffBuilder repeated = BuildImage(layout);
    const std::uint32_t values = strips;
    std::vector<std::uint32_t> sharedOffsets, sharedCounts(values, 2);
    for (std::uint32_t i = 0; i < values; ++i)
        sharedOffsets.push_back(8 + 2 * i);
    TBytes offsetBytes, countBytes;
    for (std::uint32_t i = 0; i < values; ++i)
        for (int b = 0; b < 4; ++b) {
            offsetBytes.push_back(std::uint8_t(sharedOffsets[i] >> (8 * b)));
            countBytes.push_back(std::uint8_t(sharedCounts[i] >> (8 * b)));
        }
    const std::uint32_t offsetsAt = repeated.AddBlob(offsetBytes);
    const std::uint32_t countsAt = repeated.AddBlob(countBytes);
    repeated.Remove(tagStripOffsets).Remove(tagStripByteCounts);
    for (int i = 0; i < 300; ++i)
        repeated.AddRaw(tagStripOffsets, dtLong, values, offsetsAt)
            .AddRaw(tagStripByteCounts, dtLong, values, countsAt);

    for (const auto& [name, file] :
         {std::pair{"scattered strips", scattered.Build()}, std::pair{"repeated strip tables", repeated.Build()}}) {
        SCOPED_TRACE(name);
        const TReaders read = ReadAll(file);
        EXPECT_EQ(read.Inversion, "");
        EXPECT_EQ(read.AnalysisError, "");
        EXPECT_TRUE(read.Preview);
        EXPECT_LE(read.InversionBytes, 3 * file.size());
        EXPECT_LE(read.AnalysisBytes, 3 * file.size());
        EXPECT_LE(read.PreviewBytes, 3 * file.size());
    }
}

} // namespace
} // namespace kvaderon
