#include "AlphaChannel.h"
#include "CompressionNames.h"
#include "PluralForms.h"
#include "TextFormat.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

TEST(GetPluralForm, PicksTheRussianFormByCount) {
    const std::string one = "файл", few = "файла", many = "файлов";
    const std::vector<std::pair<std::int64_t, const std::string*>> cases = {
        {0, &many},  {1, &one},   {2, &few},    {4, &few},    {5, &many},  {11, &many},
        {12, &many}, {14, &many}, {20, &many},  {21, &one},   {22, &few},  {24, &few},
        {25, &many}, {101, &one}, {111, &many}, {114, &many}, {122, &few}, {1000, &many}};
    for (const auto& [count, expected] : cases)
        EXPECT_EQ(GetPluralForm(count, one, few, many), *expected) << count;
}

TEST(IsAlphaChannel, OnlyTheLastChannelByExtraSamplesOrPhotometric) {
    struct TCase {
        std::uint32_t Channel;
        std::uint16_t SamplesPerPixel;
        std::vector<std::uint16_t> ExtraSamples;
        std::uint16_t Photometric;
        bool Expected;
    };
    const std::vector<TCase> cases = {
        {3, 4, {2}, 2, true},     {3, 4, {1}, 2, true}, {3, 4, {0}, 2, false}, {2, 4, {2}, 2, false},
        {3, 4, {}, 2, true},      {4, 5, {}, 2, false}, {3, 4, {}, 5, false},  {4, 5, {}, 5, true},
        {1, 2, {}, 1, true},      {1, 2, {}, 0, false}, {0, 1, {2}, 1, false}, {4, 5, {0, 2}, 2, true},
        {4, 5, {2, 0}, 2, false}, {0, 0, {}, 2, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAlphaChannel(c.Channel, c.SamplesPerPixel, c.ExtraSamples, c.Photometric), c.Expected)
            << "channel " << c.Channel << " of " << c.SamplesPerPixel << ", photometric " << c.Photometric;
}

TEST(CompressionName, KnownCodesAndUnknownOnes) {
    EXPECT_EQ(CompressionName(1), "без сжатия");
    EXPECT_EQ(CompressionName(5), "LZW");
    EXPECT_EQ(CompressionName(32773), "PackBits (RLE)");
    EXPECT_EQ(CompressionName(65535), "Pentax PE (lossy)");
    EXPECT_EQ(CompressionName(0), "");
    EXPECT_EQ(CompressionName(11), "");
}

TEST(FormatText, FillsConversionsAndRefusesMismatches) {
    EXPECT_EQ(FormatText("Тег %d: %s %%", {258, "x"}), "Тег 258: x %");
    EXPECT_EQ(FormatText("%d", {std::uint64_t(4294967296ull)}), "4294967296");
    EXPECT_EQ(FormatText("%d", {-5}), "-5");
    EXPECT_THROW(FormatText("%d", {"text"}), std::invalid_argument);
    EXPECT_THROW(FormatText("%s", {5}), std::invalid_argument);
    EXPECT_THROW(FormatText("%d %d", {5}), std::invalid_argument);
    EXPECT_THROW(FormatText("%d", {5, 6}), std::invalid_argument);
    EXPECT_THROW(FormatText("%x", {5}), std::invalid_argument);
}

} // namespace
} // namespace kvaderon
