#include "TiffBuilder.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace kvaderon::test {

namespace {

std::uint32_t TypeSize(std::uint16_t ADataType) {
    switch (ADataType) {
    case dtByte:
    case dtAscii:
        return 1;
    case dtShort:
        return 2;
    case dtRational:
        return 8;
    default:
        return 4;
    }
}

void Put(TBytes& AOut, std::size_t AAt, std::uint32_t AValue, std::uint32_t ASize, bool ABigEndian) {
    if (AOut.size() < AAt + ASize)
        AOut.resize(AAt + ASize);
    for (std::uint32_t i = 0; i < ASize; ++i) {
        const std::uint32_t shift = ABigEndian ? 8 * (ASize - 1 - i) : 8 * i;
        AOut[AAt + i] = std::uint8_t(AValue >> shift);
    }
}

} // namespace

std::uint32_t TTiffBuilder::AddBlob(const TBytes& ABytes) {
    const auto offset = std::uint32_t(8 + FBlobs.size());
    FBlobs.insert(FBlobs.end(), ABytes.begin(), ABytes.end());
    return offset;
}

std::uint32_t TTiffBuilder::AddIFD(const std::vector<TEntry>& AEntries, std::uint32_t ANextIFD) {
    if (FBlobs.size() % 2)
        FBlobs.push_back(0);
    const std::size_t at = 8 + FBlobs.size();
    TBytes out(at);
    WriteIFD(out, at, AEntries, ANextIFD, std::nullopt);
    FBlobs.insert(FBlobs.end(), out.begin() + std::ptrdiff_t(at), out.end());
    return std::uint32_t(at);
}

std::uint32_t TTiffBuilder::AddSamples(const std::vector<std::uint16_t>& ASamples) {
    TBytes bytes;
    for (std::size_t i = 0; i < ASamples.size(); ++i)
        Put(bytes, i * 2, ASamples[i], 2, FBigEndian);
    return AddBlob(bytes);
}

TTiffBuilder& TTiffBuilder::Set(std::uint16_t ATag, std::uint16_t ADataType, std::vector<std::uint32_t> AValues) {
    Remove(ATag);
    return Add(ATag, ADataType, std::move(AValues));
}

TTiffBuilder& TTiffBuilder::Add(std::uint16_t ATag, std::uint16_t ADataType, std::vector<std::uint32_t> AValues) {
    const auto count = std::uint32_t(AValues.size());
    FEntries.push_back({ATag, ADataType, count, std::move(AValues), std::nullopt});
    return *this;
}

TTiffBuilder& TTiffBuilder::AddRaw(std::uint16_t ATag, std::uint16_t ADataType, std::uint32_t ACount,
                                   std::uint32_t ARawField) {
    FEntries.push_back({ATag, ADataType, ACount, {}, ARawField});
    return *this;
}

TTiffBuilder& TTiffBuilder::Remove(std::uint16_t ATag) {
    std::erase_if(FEntries, [ATag](const TEntry& AEntry) { return AEntry.Tag == ATag; });
    return *this;
}

TTiffBuilder& TTiffBuilder::Signature(std::string ATwoLetters) {
    FSignature = std::move(ATwoLetters);
    return *this;
}

TTiffBuilder& TTiffBuilder::Version(std::uint16_t AVersion) {
    FVersion = AVersion;
    return *this;
}

TTiffBuilder& TTiffBuilder::IFDOffset(std::uint32_t AOffset) {
    FIFDOffset = AOffset;
    return *this;
}

TTiffBuilder& TTiffBuilder::EntryCount(std::uint16_t ACount) {
    FEntryCount = ACount;
    return *this;
}

TTiffBuilder& TTiffBuilder::SecondIFD(std::vector<TEntry> AEntries) {
    FSecondEntries = std::move(AEntries);
    return *this;
}

void TTiffBuilder::WriteIFD(TBytes& AOut, std::size_t AAt, const std::vector<TEntry>& AEntries, std::uint32_t ANextIFD,
                            std::optional<std::uint16_t> ACountOverride) const {
    Put(AOut, AAt, ACountOverride.value_or(std::uint16_t(AEntries.size())), 2, FBigEndian);
    const std::size_t afterIFD = AAt + 2 + 12 * AEntries.size() + 4;
    if (AOut.size() < afterIFD)
        AOut.resize(afterIFD);
    for (std::size_t i = 0; i < AEntries.size(); ++i) {
        const TEntry& entry = AEntries[i];
        const std::size_t at = AAt + 2 + 12 * i;
        Put(AOut, at, entry.Tag, 2, FBigEndian);
        Put(AOut, at + 2, entry.DataType, 2, FBigEndian);
        Put(AOut, at + 4, entry.Count, 4, FBigEndian);
        if (entry.RawField) {
            Put(AOut, at + 8, *entry.RawField, 4, FBigEndian);
            continue;
        }
        const std::uint32_t size = std::min<std::uint32_t>(TypeSize(entry.DataType), 4);
        std::size_t valuesAt = at + 8;
        if (std::uint64_t(entry.Count) * TypeSize(entry.DataType) > 4) {
            valuesAt = AOut.size();
            Put(AOut, at + 8, std::uint32_t(valuesAt), 4, FBigEndian);
        }
        for (std::size_t v = 0; v < entry.Values.size(); ++v)
            Put(AOut, valuesAt + v * size, entry.Values[v], size, FBigEndian);
    }
    Put(AOut, AAt + 2 + 12 * AEntries.size(), ANextIFD, 4, FBigEndian);
}

TBytes TTiffBuilder::Build() const {
    TBytes out(8);
    const std::string signature = FSignature.empty() ? (FBigEndian ? "MM" : "II") : FSignature;
    out[0] = std::uint8_t(signature[0]);
    out[1] = std::uint8_t(signature[1]);
    Put(out, 2, FVersion, 2, FBigEndian);
    out.insert(out.end(), FBlobs.begin(), FBlobs.end());
    if (out.size() % 2)
        out.push_back(0);
    const auto ifdAt = std::uint32_t(out.size());
    Put(out, 4, FIFDOffset.value_or(ifdAt), 4, FBigEndian);
    WriteIFD(out, ifdAt, FEntries, 0, FEntryCount);
    if (!FSecondEntries.empty()) {
        if (out.size() % 2)
            out.push_back(0);
        const auto secondAt = std::uint32_t(out.size());
        Put(out, ifdAt + 2 + 12 * FEntries.size(), secondAt, 4, FBigEndian);
        WriteIFD(out, secondAt, FSecondEntries, 0, std::nullopt);
    }
    return out;
}

std::size_t SampleCount(const TImageLayout& ALayout) {
    return std::size_t(ALayout.Width) * ALayout.Height * ALayout.SamplesPerPixel;
}

std::vector<std::uint16_t> ImageSamples(const TImageLayout& ALayout) {
    if (!ALayout.Samples.empty())
        return ALayout.Samples;
    std::vector<std::uint16_t> samples(SampleCount(ALayout));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::uint16_t(0x1234 + 0x0101 * i);
    return samples;
}

TTiffBuilder BuildImage(const TImageLayout& ALayout) {
    TTiffBuilder builder(ALayout.BigEndian);
    const std::vector<std::uint16_t> samples = ImageSamples(ALayout);
    const std::size_t planes = ALayout.Planar == 2 ? ALayout.SamplesPerPixel : 1;
    const std::size_t strips = planes * ALayout.StripsPerPlane;
    const std::size_t perStrip = strips ? samples.size() / strips : 0;
    std::vector<std::uint32_t> offsets, counts;
    for (std::size_t s = 0; s < strips; ++s) {
        const std::size_t begin = s * perStrip;
        const std::size_t end = s + 1 == strips ? samples.size() : begin + perStrip;
        offsets.push_back(builder.AddSamples({samples.begin() + begin, samples.begin() + end}));
        counts.push_back(std::uint32_t((end - begin) * 2));
    }
    builder.Set(tagImageWidth, dtLong, {ALayout.Width});
    builder.Set(tagImageLength, dtLong, {ALayout.Height});
    builder.Set(tagBitsPerSample, dtShort,
                std::vector<std::uint32_t>(ALayout.SamplesPerPixel ? ALayout.SamplesPerPixel : 1, 16));
    builder.Set(tagCompression, dtShort, {1});
    if (ALayout.Photometric)
        builder.Set(tagPhotometric, dtShort, {*ALayout.Photometric});
    builder.Set(tagStripOffsets, dtLong, offsets);
    builder.Set(tagSamplesPerPixel, dtShort, {ALayout.SamplesPerPixel});
    builder.Set(tagRowsPerStrip, dtLong,
                {ALayout.StripsPerPlane ? (ALayout.Height + ALayout.StripsPerPlane - 1) / ALayout.StripsPerPlane : 0});
    builder.Set(tagStripByteCounts, dtLong, counts);
    builder.Set(tagPlanarConfiguration, dtShort, {ALayout.Planar});
    if (!ALayout.ExtraSamples.empty())
        builder.Set(tagExtraSamples, dtShort, {ALayout.ExtraSamples.begin(), ALayout.ExtraSamples.end()});
    if (ALayout.SampleFormat)
        builder.Set(
            tagSampleFormat, dtShort,
            std::vector<std::uint32_t>(ALayout.SamplesPerPixel ? ALayout.SamplesPerPixel : 1, *ALayout.SampleFormat));
    return builder;
}

std::vector<TEntry> ThumbnailEntries(TTiffBuilder& ABuilder, std::uint16_t ABits, std::uint16_t ASamplesPerPixel,
                                     std::uint16_t ACompression) {
    TBytes bytes(std::size_t(4) * ASamplesPerPixel * (ABits / 8));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(0x10 + i);
    const std::uint32_t at = ABuilder.AddBlob(bytes);
    return {
        {tagNewSubfileType, dtLong, 1, {1}},
        {tagImageWidth, dtShort, 1, {2}},
        {tagImageLength, dtShort, 1, {2}},
        {tagBitsPerSample, dtShort, ASamplesPerPixel, std::vector<std::uint32_t>(ASamplesPerPixel, ABits)},
        {tagCompression, dtShort, 1, {ACompression}},
        {tagPhotometric, dtShort, 1, {ASamplesPerPixel >= 3 ? 2u : 1u}},
        {tagStripOffsets, dtLong, 1, {at}},
        {tagSamplesPerPixel, dtShort, 1, {ASamplesPerPixel}},
        {tagStripByteCounts, dtLong, 1, {std::uint32_t(bytes.size())}},
    };
}

TTiffBuilder RgbImage(bool ABigEndian) {
    TImageLayout layout;
    layout.BigEndian = ABigEndian;
    layout.SamplesPerPixel = 3;
    layout.Photometric = 2;
    return BuildImage(layout);
}

TBytes ChangedRgbImage(const std::function<void(TTiffBuilder&)>& AChange) {
    TTiffBuilder builder = RgbImage();
    AChange(builder);
    return builder.Build();
}

std::unique_ptr<std::uint8_t[]> ExactCopy(const TBytes& ABytes) {
    auto copy = std::make_unique<std::uint8_t[]>(ABytes.empty() ? 1 : ABytes.size());
    std::copy(ABytes.begin(), ABytes.end(), copy.get());
    return copy;
}

void WriteFile(const std::filesystem::path& APath, const TBytes& ABytes) {
    std::ofstream out(APath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(ABytes.data()), std::streamsize(ABytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + APath.string());
}

TBytes ReadFile(const std::filesystem::path& APath) {
    std::ifstream in(APath, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + APath.string());
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteTextFile(const std::filesystem::path& APath, const std::string& AText) {
    WriteFile(APath, TBytes(AText.begin(), AText.end()));
}

std::string ReadTextFile(const std::filesystem::path& APath) {
    const TBytes bytes = ReadFile(APath);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace kvaderon::test
