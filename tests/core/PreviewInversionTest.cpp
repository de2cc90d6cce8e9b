#include "InverterTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace kvaderon {
namespace {

using namespace test;

struct TPreviewCase {
    const char* Name;
    // Adds the other images to a file whose first image is 4 x 2 grey, and returns the entries of
    // the one image whose bytes the option inverts (none: empty).
    std::function<std::vector<TEntry>(TTiffBuilder&)> AddImages;
    std::vector<std::uint8_t> Masks; // per byte of a pixel of that image
    std::size_t Notes;
};

std::uint32_t Value(const std::vector<TEntry>& AEntries, std::uint16_t ATag) {
    for (const TEntry& entry : AEntries)
        if (entry.Tag == ATag)
            return entry.Values.front();
    return 0;
}

// With the option only the thumbnail's samples differ from the default output; without it, the
// output is the input with the first image's samples inverted and nothing else.
TEST(InvertPreviews, ThumbnailsInvertedOnRequestAndEveryOtherByteKept) {
    const std::vector<TPreviewCase> cases = {
        {"8-bit RGB thumbnail in IFD 1",
         [](TTiffBuilder& ABuilder) {
             auto entries = ThumbnailEntries(ABuilder, 8, 3);
             ABuilder.SecondIFD(entries);
             return entries;
         },
         {0xFF, 0xFF, 0xFF},
         0},
        {"16-bit grey thumbnail in a SubIFD",
         [](TTiffBuilder& ABuilder) {
             auto entries = ThumbnailEntries(ABuilder, 16, 1);
             ABuilder.Set(tagSubIFDs, dtLong, {ABuilder.AddIFD(entries)});
             return entries;
         },
         {0xFF, 0xFF},
         0},
        {"8-bit RGBA thumbnail keeps its alpha",
         [](TTiffBuilder& ABuilder) {
             auto entries = ThumbnailEntries(ABuilder, 8, 4);
             ABuilder.SecondIFD(entries);
             return entries;
         },
         {0xFF, 0xFF, 0xFF, 0},
         0},
        {"JPEG thumbnail stays and is named",
         [](TTiffBuilder& ABuilder) {
             ABuilder.SecondIFD(ThumbnailEntries(ABuilder, 8, 3, 7));
             return std::vector<TEntry>{};
         },
         {},
         1},
        {"thumbnail over a value stored outside an IFD stays",
         [](TTiffBuilder& ABuilder) {
             const std::uint32_t text = ABuilder.AddBlob(TBytes(8, 'k'));
             ABuilder.AddRaw(305, 2, 8, text); // Software, an ASCII value of 8 bytes
             auto entries = ThumbnailEntries(ABuilder, 8, 1);
             entries[6].Values = {text};
             ABuilder.SecondIFD(entries);
             return std::vector<TEntry>{};
         },
         {},
         1},
        {"later pages stay",
         [](TTiffBuilder& ABuilder) {
             auto page = ThumbnailEntries(ABuilder, 16, 1);
             page.front().Values = {2}; // a page of a multi-page file
             auto mask = ThumbnailEntries(ABuilder, 8, 1);
             mask.front().Values = {4};
             ABuilder.SecondIFD(page);
             ABuilder.Set(tagSubIFDs, dtLong, {ABuilder.AddIFD(mask)});
             return std::vector<TEntry>{};
         },
         {},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TImageLayout layout;
        layout.Samples = {1, 2, 3, 4, 5, 6, 7, 8};
        TTiffBuilder builder = BuildImage(layout);
        const std::vector<TEntry> preview = c.AddImages(builder);
        const TBytes input = builder.Build();

        const TInversion plain = InvertBytes(input);
        ASSERT_EQ(plain.Error, "");
        TBytes expected = input;
        for (std::size_t i = 8; i < 8 + 16; ++i)
            expected[i] ^= 0xFF;
        EXPECT_EQ(plain.Output, expected);
        EXPECT_TRUE(plain.PreviewNotes.empty());

        const TInversion withPreviews = InvertBytes(input, true);
        ASSERT_EQ(withPreviews.Error, "");
        EXPECT_EQ(withPreviews.PreviewNotes.size(), c.Notes);
        const std::uint32_t at = Value(preview, tagStripOffsets);
        for (std::uint32_t i = 0; !preview.empty() && i < Value(preview, tagStripByteCounts); ++i)
            expected[at + i] ^= c.Masks[i % c.Masks.size()];
        EXPECT_EQ(withPreviews.Output, expected);
    }
}

// Strips of another image over the first image's samples are damage, whatever the option.
TEST(InvertPreviews, ThumbnailStripsOverTheMainImageMakeTheFileDamaged) {
    TImageLayout layout;
    layout.Samples = {1, 2, 3, 4, 5, 6, 7, 8};
    TTiffBuilder builder = BuildImage(layout);
    auto entries = ThumbnailEntries(builder, 8, 1);
    entries[6].Values = {10}; // inside the first image's samples
    builder.SecondIFD(entries);
    const TBytes input = builder.Build();
    for (const bool previews : {false, true}) {
        const TInversion run = InvertBytes(input, previews);
        EXPECT_NE(run.Error.find("Полоса изображения заходит на заголовок или каталог тегов (файл повреждён)"),
                  std::string::npos)
            << run.Error;
    }
}

} // namespace
} // namespace kvaderon
