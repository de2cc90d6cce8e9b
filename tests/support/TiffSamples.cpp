#include "TiffSamples.h"

#include <functional>
#include <optional>
#include <utility>

namespace kvaderon::test {

namespace {

TImageLayout Layout(bool ABigEndian, std::uint16_t ASamplesPerPixel, std::uint16_t APlanar,
                    std::vector<std::uint16_t> AExtraSamples = {}, std::optional<std::uint16_t> ASampleFormat = {}) {
    TImageLayout layout;
    layout.BigEndian = ABigEndian;
    layout.SamplesPerPixel = ASamplesPerPixel;
    layout.Planar = APlanar;
    layout.Photometric = ASamplesPerPixel >= 3 ? 2 : 1;
    layout.ExtraSamples = std::move(AExtraSamples);
    layout.SampleFormat = ASampleFormat;
    layout.Width = 5;
    layout.Height = 3;
    layout.StripsPerPlane = APlanar == 2 ? 2 : 3;
    return layout;
}

} // namespace

std::vector<TNamedFile> TiffLayouts() {
    std::vector<TNamedFile> seeds;
    for (const bool big : {false, true}) {
        const std::string order = big ? "be-" : "le-";
        const std::vector<std::pair<std::string, TImageLayout>> layouts = {
            {"gray", Layout(big, 1, 1)},
            {"gray-alpha", Layout(big, 2, 1)},
            {"rgb", Layout(big, 3, 1)},
            {"rgba-unassociated", Layout(big, 4, 1, {2})},
            {"rgba-extra-0", Layout(big, 4, 1, {0})},
            {"rgb-signed", Layout(big, 3, 1, {}, 2)},
            {"rgb-alpha-then-extra", Layout(big, 5, 1, {2, 0})},
            {"planar-rgb", Layout(big, 3, 2)},
            {"planar-rgba", Layout(big, 4, 2, {1})},
            {"planar-signed", Layout(big, 3, 2, {}, 2)},
            {"planar-extra-then-alpha", Layout(big, 5, 2, {0, 1})},
            {"two-channels-inline", Layout(big, 2, 1, {0, 0})},
        };
        for (const auto& [name, layout] : layouts)
            seeds.push_back({order + name, BuildImage(layout).Build()});
        TTiffBuilder thumbnail = BuildImage(Layout(big, 3, 1));
        thumbnail.SecondIFD({{tagBitsPerSample, dtShort, 1, {8}}, {tagImageWidth, dtShort, 1, {1}}});
        seeds.push_back({order + "thumbnail", thumbnail.Build()});
    }
    TTiffBuilder subIFDs = RgbImage();
    subIFDs.Set(tagSubIFDs, dtLong, {subIFDs.AddIFD({{tagImageWidth, dtShort, 1, {1}}})});
    seeds.push_back({"sub-ifds", subIFDs.Build()});
    TTiffBuilder chained = RgbImage();
    const std::uint32_t second = chained.AddIFD(ThumbnailEntries(chained, 16, 3));
    chained.Set(tagSubIFDs, dtIFD, {chained.AddIFD(ThumbnailEntries(chained, 8, 3), second), second});
    seeds.push_back({"sub-ifds-chained", chained.Build()});
    seeds.push_back({"no-samples-per-pixel", BuildImage({}).Remove(tagSamplesPerPixel).Remove(tagCompression).Build()});
    return seeds;
}

std::vector<TNamedFile> MalformedTiffs() {
    using TChange = std::function<void(TTiffBuilder&)>;
    const std::vector<std::pair<std::string, TChange>> changes = {
        {"signature", [](auto& b) { b.Signature("XX"); }},
        {"version-43", [](auto& b) { b.Version(43); }},
        {"ifd-past-end", [](auto& b) { b.IFDOffset(1 << 20); }},
        {"ifd-at-0", [](auto& b) { b.IFDOffset(0); }},
        {"ifd-odd", [](auto& b) { b.IFDOffset(9); }},
        {"no-entries", [](auto& b) { b.EntryCount(0); }},
        {"entries-past-end", [](auto& b) { b.EntryCount(4000); }},
        {"float-format",
         [](auto& b) {
             b.Set(tagSampleFormat, dtShort, {3, 3, 3});
         }},
        {"8-bit",
         [](auto& b) {
             b.Set(tagBitsPerSample, dtShort, {8, 8, 8});
         }},
        {"mixed-bits",
         [](auto& b) {
             b.Set(tagBitsPerSample, dtShort, {16, 8, 16});
         }},
        {"compressed", [](auto& b) { b.Set(tagCompression, dtShort, {5}); }},
        {"samples-per-pixel-0", [](auto& b) { b.Set(tagSamplesPerPixel, dtShort, {0}); }},
        {"planar-3", [](auto& b) { b.Set(tagPlanarConfiguration, dtShort, {3}); }},
        {"planar-strips-not-multiple",
         [](auto& b) {
             b.Set(tagPlanarConfiguration, dtShort, {2});
             b.Set(tagStripOffsets, dtLong, {8, 10});
             b.Set(tagStripByteCounts, dtLong, {2, 2});
         }},
        {"strip-past-end", [](auto& b) { b.Set(tagStripByteCounts, dtLong, {1 << 20}); }},
        {"strip-offset-huge", [](auto& b) { b.Set(tagStripOffsets, dtLong, {0xFFFFFFF0u}); }},
        {"strip-on-header", [](auto& b) { b.Set(tagStripOffsets, dtLong, {0}); }},
        {"strips-overlap",
         [](auto& b) {
             b.Set(tagStripOffsets, dtLong, {8, 12});
             b.Set(tagStripByteCounts, dtLong, {8, 8});
         }},
        {"strips-same-block",
         [](auto& b) {
             b.Set(tagStripOffsets, dtLong, {8, 8, 8});
             b.Set(tagStripByteCounts, dtLong, {24, 24, 24});
         }},
        {"strip-counts-differ",
         [](auto& b) {
             b.Set(tagStripByteCounts, dtLong, {24, 24});
         }},
        {"strip-odd-count", [](auto& b) { b.Set(tagStripByteCounts, dtLong, {47}); }},
        {"strip-count-0", [](auto& b) { b.Set(tagStripByteCounts, dtLong, {0}); }},
        {"no-strip-offsets", [](auto& b) { b.Remove(tagStripOffsets); }},
        {"no-byte-counts", [](auto& b) { b.Remove(tagStripByteCounts); }},
        {"short-strip-offsets", [](auto& b) { b.Set(tagStripOffsets, dtShort, {8}); }},
        {"offsets-array-past-end", [](auto& b) { b.AddRaw(tagStripOffsets, dtLong, 1000000, 100000); }},
        {"repeated-tag", [](auto& b) { b.Add(tagBitsPerSample, dtShort, {8}); }},
        {"unknown-type", [](auto& b) { b.AddRaw(tagSamplesPerPixel, 13, 1, 3); }},
        {"extra-samples-2", [](auto& b) { b.Set(tagExtraSamples, dtShort, {2}); }},
        {"sub-ifds-type-13", [](auto& b) { b.AddRaw(tagSubIFDs, 13, 1, 64); }},
    };
    std::vector<TNamedFile> seeds;
    for (const auto& [name, change] : changes)
        seeds.push_back({"bad-" + name, ChangedRgbImage(change)});
    seeds.push_back({"bad-empty", {}});
    seeds.push_back({"bad-header-only", {'I', 'I', 42, 0, 8, 0, 0, 0}});
    seeds.push_back({"bad-big-header-only", {'M', 'M', 0, 42, 0, 0, 0, 8}});
    TBytes truncated = BuildImage(Layout(false, 3, 1)).Build();
    truncated.resize(40); // in the middle of the strips
    seeds.push_back({"bad-truncated-in-strips", truncated});
    return seeds;
}

} // namespace kvaderon::test
