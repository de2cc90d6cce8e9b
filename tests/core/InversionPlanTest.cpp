#include "InversionPlan.h"
#include "ByteSource.h"
#include "TiffBuilder.h"
#include "TiffImageMap.h"
#include "TiffStructureReader.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

using namespace test;

// The file's bytes after the plan, applied in chunks of AChunk bytes as the streamed pass does.
TBytes Applied(const TBytes& AFile, std::size_t AChunk) {
    TInversionPlan plan(ParseTIFFStructure(AFile.data(), AFile.size()), AFile.size());
    TBytes bytes = AFile;
    for (const auto& [start, end] : plan.Chunks(bytes.size(), AChunk))
        plan.Apply(bytes.data() + start, std::size_t(end - start), start);
    return bytes;
}

// Strips at odd offsets, pixels and signed samples cut by every chunk size: the bytes are those
// of one pass over the whole file.
TEST(TInversionPlan, ChunksOfAnySizeGiveTheBytesOfOnePass) {
    struct TCase {
        const char* Name;
        std::uint16_t SamplesPerPixel;
        std::uint16_t Planar;
        std::uint16_t SampleFormat;
        std::vector<std::uint16_t> ExtraSamples;
    };
    const std::vector<TCase> cases = {
        {"gray", 1, 1, 1, {}},
        {"RGBA with alpha", 4, 1, 1, {2}},
        {"three channels, signed, interleaved", 3, 1, 2, {}},
        {"planar unsigned with alpha plane", 2, 2, 1, {2}},
        {"planar signed", 3, 2, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TImageLayout layout;
        layout.SamplesPerPixel = c.SamplesPerPixel;
        layout.Planar = c.Planar;
        layout.Photometric = c.SamplesPerPixel >= 3 ? 2 : 1;
        layout.SampleFormat = c.SampleFormat;
        layout.ExtraSamples = c.ExtraSamples;
        layout.Width = 5;
        layout.Height = 3;
        layout.StripsPerPlane = 3;
        TTiffBuilder builder = BuildImage(layout);
        builder.AddBlob({0x55}); // right after the samples: every strip can move one byte on
        for (auto& entry : builder.Entries())
            if (entry.Tag == tagStripOffsets)
                for (auto& offset : entry.Values)
                    ++offset; // odd offsets
        const TBytes file = builder.Build();
        const TBytes whole = Applied(file, file.size());
        ASSERT_NE(whole, file);
        for (std::size_t chunk = 2; chunk < 40; ++chunk)
            ASSERT_EQ(Applied(file, chunk), whole) << "chunks of " << chunk;
    }
}

// A grey image of AStrips one-sample strips followed by an 8-bit reduced image of as many one-byte
// strips: each preview strip is looked up among the first image's regions by a binary search.
TEST(TInversionPlan, PreviewStripsSearchThePlanNotScanIt) {
    for (const std::uint32_t strips : {64u, 4096u}) {
        SCOPED_TRACE(strips);
        TImageLayout layout;
        layout.Width = 1;
        layout.Height = strips;
        layout.StripsPerPlane = strips;
        TTiffBuilder builder = BuildImage(layout);
        const std::uint32_t previewAt = builder.AddBlob(TBytes(strips, 0x21));
        std::vector<std::uint32_t> offsets(strips);
        for (std::uint32_t s = 0; s < strips; ++s)
            offsets[s] = previewAt + s;
        builder.SecondIFD({{tagNewSubfileType, dtLong, 1, {1}},
                           {tagImageWidth, dtLong, 1, {1}},
                           {tagImageLength, dtLong, 1, {strips}},
                           {tagBitsPerSample, dtShort, 1, {8}},
                           {tagCompression, dtShort, 1, {1}},
                           {tagPhotometric, dtShort, 1, {1}},
                           {tagStripOffsets, dtLong, strips, offsets},
                           {tagSamplesPerPixel, dtShort, 1, {1}},
                           {tagRowsPerStrip, dtLong, 1, {1}},
                           {tagStripByteCounts, dtLong, strips, std::vector<std::uint32_t>(strips, 1)}});
        const TBytes file = builder.Build();
        const TTiffStructure structure = ParseTIFFStructure(file.data(), file.size());
        TInversionPlan plan(structure, file.size());
        EXPECT_TRUE(plan.AddPreviews(file.size()).empty());
        EXPECT_TRUE(plan.Inverts(previewAt) && plan.Inverts(previewAt + strips - 1));

        std::uint64_t searchSteps = 2;
        for (std::uint32_t n = strips; n > 1; n /= 2)
            ++searchSteps;
        EXPECT_LE(plan.RegionsVisited(), strips * searchSteps);
    }
}

} // namespace
} // namespace kvaderon
