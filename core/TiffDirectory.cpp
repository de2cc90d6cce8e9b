#include "TiffDirectory.h"

#include "ByteSource.h"
#include "CommonTypes.h"
#include "TextFormat.h"

#include "TiffFields.h"

#include <algorithm>
#include <bitset>
#include <iterator>
#include <map>
#include <set>

namespace kvaderon {

namespace {

constexpr std::size_t MaxIFDs = 1000;

const char* const walkDamage = "Каталоги тегов ссылаются друг на друга по кругу или перекрываются (файл повреждён)";

// The tags that hold the offsets and byte counts of an image's data.
constexpr std::pair<std::uint16_t, std::uint16_t> imageDataTags[] = {
    {tagStripOffsets, tagStripByteCounts},
    {tagTileOffsets, tagTileByteCounts},
    {tagJPEGInterchangeFormat, tagJPEGInterchangeFormatLength}};

TImageRole RoleOf(const TImageFields& AFields, bool AFirst) {
    if (AFields.NewSubfileType & 4)
        return TImageRole::irMask;
    if ((AFields.NewSubfileType & 1) || AFields.SubfileType == 2)
        return TImageRole::irReduced;
    return AFirst ? TImageRole::irMain : TImageRole::irPage;
}

TTiffImage ImageOf(const TImageFields& AFields, std::uint32_t AOffset, std::uint16_t AEntryCount) {
    TTiffImage image;
    image.IFDOffset = AOffset;
    image.IFDEntryCount = AEntryCount;
    image.Width = AFields.ImageWidth;
    image.Height = AFields.ImageLength;
    image.BitsPerSample = AFields.BitsPerSample;
    image.SamplesPerPixel = AFields.SamplesPerPixel;
    image.Compression = AFields.Compression;
    image.PhotometricInterpretation = AFields.PhotometricInterpretation;
    image.PlanarConfiguration = AFields.PlanarConfiguration;
    image.SampleFormat = AFields.SampleFormat;
    image.ExtraSamples = AFields.ExtraSamples;
    image.StripOffsets = AFields.StripOffsets;
    image.StripByteCounts = AFields.StripByteCounts;
    image.IsTiled = AFields.IsTiled;
    return image;
}

// How the IFDs of one chain are named: "SubIFD 2 of IFD 0" is the third of IFD 0's SubIFDs.
struct TChainNames {
    std::string Prefix;  // "IFD ", "SubIFD "
    std::string Of;      // "", " of IFD 0"
    std::string OfRu;    // "", " в IFD 0"
    std::uint32_t First; // the number of the chain's first IFD
    bool Images;         // the chain's IFDs are images (not EXIF or GPS data)
};

class TLayoutWalk {
public:
    TLayoutWalk(const TByteSource& AFile, bool ABigEndian) : FFile(AFile), FBigEndian(ABigEndian) {}

    TFileLayout Walk(std::uint32_t AFirstIFD) {
        FLayout.Structure.push_back({0, 8});
        Chain(AFirstIFD, {"IFD ", "", "", 0, true});
        return std::move(FLayout);
    }

private:
    // An IFD pointed at by another: its offset and how its chain is named.
    struct TChild {
        std::uint32_t Offset;
        TChainNames Names;
    };

    // Follows next-IFD offsets from AOffset; the children of each IFD are walked before its next.
    void Chain(std::uint32_t AOffset, const TChainNames& ANames) {
        std::vector<std::uint32_t> followed;
        for (std::uint32_t index = ANames.First; AOffset != 0; ++index) {
            if (std::find(followed.begin(), followed.end(), AOffset) != followed.end())
                throw ETIFFError(walkDamage);
            if (FVisited.count(AOffset) != 0)
                return; // reached by another route: one IFD, walked once
            followed.push_back(AOffset);
            std::vector<TChild> children;
            const std::uint32_t next = Visit(AOffset, ANames, index, children);
            for (const TChild& child : children)
                Chain(child.Offset, child.Names);
            AOffset = next;
        }
    }

    // Reads the IFD at AOffset into the layout; returns its next IFD, 0 where its chain ends.
    std::uint32_t Visit(std::uint32_t AOffset, const TChainNames& ANames, std::uint32_t AIndex,
                        std::vector<TChild>& AChildren) {
        const bool first = FVisited.empty();
        if (!first && AOffset < 8)
            return 0; // inside the header: no IFD
        if (FVisited.size() == MaxIFDs)
            throw ETIFFError("В файле больше 1000 каталогов тегов (файл повреждён)");
        FVisited.insert(AOffset);
        const std::optional<TStoredIFD> ifd = ReadStoredIFD(FFile, AOffset, FBigEndian);
        if (!ifd)
            return 0;
        const std::uint64_t length = IFDCountSize + std::uint64_t(IFDEntrySize) * ifd->EntryCount + NextIFDSize;
        AddIFDBytes(AOffset, std::min<std::uint64_t>(length, FFile.Size() - AOffset));
        if (!ifd->EntriesInside || ifd->EntryCount == 0 || ifd->EntryCount > MaxIFDEntries)
            return 0;
        const std::vector<bool> last = LastOfEachTag(ifd->Entries);
        TImageFields fields;
        bool complete = true;
        for (std::size_t i = 0; i < ifd->Entries.size(); ++i) {
            if (last[i])
                complete = ReadEntry(ifd->Entries[i], fields, AChildren, ANames.Images) && complete;
        }
        if (!first)
            AddImageData(*ifd, last);
        const std::string where = ANames.Prefix + std::to_string(AIndex);
        if (ANames.Images) {
            FLayout.Images.push_back(ImageOf(fields, AOffset, ifd->EntryCount));
            TTiffImage& image = FLayout.Images.back();
            image.Where = where + ANames.Of;
            image.WhereRu = where + ANames.OfRu;
            image.Role = RoleOf(fields, first);
            image.IsComplete = complete;
            AddSubIFDs(fields.SubIFDs, image, AChildren);
        }
        return ifd->NextIFD;
    }

    // Records the entry's out-of-line values and the IFDs it points at, and decodes its field;
    // false when the field cannot be read.
    bool ReadEntry(const TTiffEntry& AEntry, TImageFields& AFields, std::vector<TChild>& AChildren, bool AImages) {
        const std::uint64_t bytes = std::uint64_t(AEntry.Count) * StoredDataTypeSize(AEntry.DataType);
        if (bytes > 4)
            Add(FLayout.Structure, ReadU32(AEntry.ValueField.data(), FBigEndian), bytes);
        if (IsIFDPointerTag(AEntry.Tag) && !(AImages && AEntry.Tag == tagSubIFDs))
            for (std::uint32_t child : Values(AEntry))
                AChildren.push_back({child, {"IFD ", "", "", 0, false}});
        if (!AImages || !IsImageFieldTag(AEntry.Tag))
            return true;
        ChargeArray(AEntry);
        try {
            DecodeImageField(AEntry, FFile, FBigEndian, TArrayShortageText::astRequiredOnly, AFields);
            return true;
        } catch (const ETIFFError&) {
            return false;
        }
    }

    void AddSubIFDs(const std::vector<std::uint32_t>& AOffsets, const TTiffImage& AParent,
                    std::vector<TChild>& AChildren) {
        for (std::size_t k = 0; k < AOffsets.size(); ++k)
            AChildren.push_back(
                {AOffsets[k], {"SubIFD ", " of " + AParent.Where, " в " + AParent.WhereRu, std::uint32_t(k), true}});
    }

    static void Add(std::vector<TByteRange>& ARanges, std::uint64_t ABegin, std::uint64_t ALength,
                    std::uint64_t AFileSize) {
        if (ALength > 0 && IsRangeInside(ABegin, ALength, AFileSize))
            ARanges.push_back({ABegin, ABegin + ALength});
    }
    void Add(std::vector<TByteRange>& ARanges, std::uint64_t ABegin, std::uint64_t ALength) const {
        Add(ARanges, ABegin, ALength, FFile.Size());
    }

    // An IFD's own bytes; two IFDs sharing any of them are damage.
    void AddIFDBytes(std::uint64_t ABegin, std::uint64_t ALength) {
        const std::uint64_t end = ABegin + ALength;
        const auto after = FIFDBytes.lower_bound(ABegin);
        if ((after != FIFDBytes.end() && after->first < end) ||
            (after != FIFDBytes.begin() && std::prev(after)->second > ABegin))
            throw ETIFFError(walkDamage);
        FIFDBytes.emplace(ABegin, end);
        Add(FLayout.Structure, ABegin, ALength);
    }

    // Counts the bytes of an array about to be read, each stored array once; more than the file
    // holds means the structure points into itself over and over.
    void ChargeArray(const TTiffEntry& AEntry) {
        const std::uint64_t bytes = std::uint64_t(AEntry.Count) * GetDataTypeSize(AEntry.DataType);
        if (AEntry.IsInline() || AEntry.Count > MaxTagArrayCount)
            return;
        const std::uint32_t offset = ReadU32(AEntry.ValueField.data(), FBigEndian);
        if (!IsRangeInside(offset, bytes, FFile.Size()) || !FCharged.insert({offset, bytes}).second)
            return;
        FArrayBytes += bytes;
        if (FArrayBytes > FFile.Size())
            throw ETIFFError(walkDamage);
    }

    // The entry's values as offsets or byte counts; nothing when they cannot be read.
    std::vector<std::uint32_t> Values(TTiffEntry AEntry) {
        if (AEntry.DataType == dtIFD)
            AEntry.DataType = dtLong;
        ChargeArray(AEntry);
        try {
            return ReadTagCardinalArray(AEntry, FFile, FBigEndian, TArrayShortageText::astRequiredOnly);
        } catch (const ETIFFError&) {
            return {};
        }
    }

    void AddImageData(const TStoredIFD& AIFD, const std::vector<bool>& ALast) {
        for (const auto& [offsetsTag, countsTag] : imageDataTags) {
            const TTiffEntry* offsetsEntry = nullptr;
            const TTiffEntry* countsEntry = nullptr;
            for (std::size_t i = 0; i < AIFD.Entries.size(); ++i) {
                if (ALast[i] && AIFD.Entries[i].Tag == offsetsTag)
                    offsetsEntry = &AIFD.Entries[i];
                if (ALast[i] && AIFD.Entries[i].Tag == countsTag)
                    countsEntry = &AIFD.Entries[i];
            }
            if (offsetsEntry == nullptr || countsEntry == nullptr)
                continue;
            const std::vector<std::uint32_t> offsets = Values(*offsetsEntry);
            const std::vector<std::uint32_t> counts = Values(*countsEntry);
            for (std::size_t i = 0; i < std::min(offsets.size(), counts.size()); ++i)
                Add(FLayout.ImageData, offsets[i], counts[i]);
        }
    }

    const TByteSource& FFile;
    bool FBigEndian;
    TFileLayout FLayout;
    std::set<std::uint32_t> FVisited;
    std::map<std::uint64_t, std::uint64_t> FIFDBytes; // begin -> end of each IFD read
    std::set<std::pair<std::uint32_t, std::uint64_t>> FCharged;
    std::uint64_t FArrayBytes = 0;
};

// Refuses a first image of a layout the readers do not handle.
void CheckFirstImageLayout(const std::vector<TTiffEntry>& AEntries, const TByteSource& AFile, bool ABigEndian) {
    const std::vector<bool> last = LastOfEachTag(AEntries);
    TImageFields fields;
    for (std::size_t i = 0; i < AEntries.size(); ++i) {
        const std::uint16_t tag = AEntries[i].Tag;
        if (!last[i] || (tag != tagNewSubfileType && !(tag >= tagTileWidth && tag <= tagTileByteCounts)))
            continue;
        try {
            DecodeImageField(AEntries[i], AFile, ABigEndian, TArrayShortageText::astRequiredOnly, fields);
        } catch (const ETIFFError&) {
            // An unreadable NewSubfileType says nothing; the image is taken as the main one.
        }
    }
    if (fields.NewSubfileType & 1)
        throw ETIFFError("Первое изображение файла — уменьшенная копия; основное изображение в файле не первое");
    if (fields.IsTiled)
        throw ETIFFError("Тайловые TIFF не поддерживаются");
}

} // namespace

TFirstIFD ReadFirstIFD(const TByteSource& AFile, const TFirstIFDTexts& ATexts) {
    const std::uint64_t fileSize = AFile.Size();
    if (fileSize < 8)
        throw ETIFFError("Файл слишком мал для TIFF");
    std::uint8_t header[8];
    AFile.Read(0, header, sizeof header);
    TFirstIFD ifd;
    if (header[0] == 'M' && header[1] == 'M')
        ifd.BigEndian = true;
    else if (!(header[0] == 'I' && header[1] == 'I'))
        throw ETIFFError(ATexts.BadSignature);
    if (ReadU16(header + 2, ifd.BigEndian) == 43)
        throw ETIFFError("BigTIFF не поддерживается");

    ifd.Offset = ReadU32(header + 4, ifd.BigEndian);
    if (ifd.Offset >= fileSize)
        throw ETIFFError("Смещение IFD за пределами файла");
    const std::optional<TStoredIFD> stored = ReadStoredIFD(AFile, ifd.Offset, ifd.BigEndian);
    if (!stored)
        throw ETIFFError("Недостаточно данных для чтения количества записей IFD");
    if (stored->EntryCount == 0 || stored->EntryCount > MaxIFDEntries)
        throw ETIFFError(FormatText(ATexts.BadEntryCount, {stored->EntryCount}));
    if (!stored->EntriesInside)
        throw ETIFFError("Недостаточно данных для чтения всех записей IFD");
    ifd.Entries = stored->Entries;
    CheckFirstImageLayout(ifd.Entries, AFile, ifd.BigEndian);
    return ifd;
}

std::optional<TStoredIFD> ReadStoredIFD(const TByteSource& AFile, std::uint32_t AOffset, bool ABigEndian) {
    const std::uint64_t size = AFile.Size();
    if (!IsRangeInside(AOffset, IFDCountSize, size))
        return std::nullopt;
    std::uint8_t countBytes[IFDCountSize];
    AFile.Read(AOffset, countBytes, IFDCountSize);
    TStoredIFD ifd;
    ifd.EntryCount = ReadU16(countBytes, ABigEndian);
    const std::uint64_t entriesAt = std::uint64_t(AOffset) + IFDCountSize;
    const std::uint64_t entryBytes = std::uint64_t(IFDEntrySize) * ifd.EntryCount;
    ifd.EntriesInside = IsRangeInside(entriesAt, entryBytes, size);
    if (!ifd.EntriesInside)
        return ifd;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(entryBytes));
    AFile.Read(entriesAt, bytes.data(), bytes.size());
    ifd.Entries.reserve(ifd.EntryCount);
    for (std::size_t i = 0; i < ifd.EntryCount; ++i)
        ifd.Entries.push_back(DecodeEntry(bytes.data() + IFDEntrySize * i, ABigEndian));
    if (IsRangeInside(entriesAt + entryBytes, NextIFDSize, size)) {
        std::uint8_t next[NextIFDSize];
        AFile.Read(entriesAt + entryBytes, next, NextIFDSize);
        ifd.NextIFD = ReadU32(next, ABigEndian);
    }
    return ifd;
}

std::vector<bool> LastOfEachTag(const std::vector<TTiffEntry>& AEntries) {
    std::vector<bool> last(AEntries.size(), false);
    std::bitset<65536> seen;
    for (std::size_t i = AEntries.size(); i-- > 0;) {
        last[i] = !seen.test(AEntries[i].Tag);
        seen.set(AEntries[i].Tag);
    }
    return last;
}

TFileLayout ReadFileLayout(const TByteSource& AFile, bool ABigEndian, std::uint32_t AFirstIFD) {
    return TLayoutWalk(AFile, ABigEndian).Walk(AFirstIFD);
}

std::vector<TByteRange> RangesBesideStrips(const TFileLayout& ALayout, const std::vector<std::uint32_t>& AOffsets,
                                           const std::vector<std::uint32_t>& AByteCounts) {
    std::set<std::pair<std::uint64_t, std::uint64_t>> strips;
    for (std::size_t i = 0; i < AOffsets.size() && i < AByteCounts.size(); ++i)
        strips.insert({AOffsets[i], std::uint64_t(AOffsets[i]) + AByteCounts[i]});
    std::vector<TByteRange> ranges = ALayout.Structure;
    for (const TByteRange& data : ALayout.ImageData)
        if (strips.count({data.Begin, data.End}) == 0)
            ranges.push_back(data);
    return ranges;
}

} // namespace kvaderon
