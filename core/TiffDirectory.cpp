#include "TiffDirectory.h"

#include "ByteSource.h"
#include "CommonTypes.h"
#include "TextFormat.h"

#include <algorithm>
#include <array>
#include <bitset>

namespace kvaderon {

namespace {

constexpr std::uint16_t tagNewSubfileType = 254;
constexpr std::uint16_t tagTileWidth = 322;
constexpr std::uint16_t tagTileByteCounts = 325;
constexpr std::uint16_t tagSubIFDs = 330;
constexpr std::uint16_t dtIFD = 13;
constexpr std::size_t MaxIFDs = 1000;

const char* const walkDamage = "Каталоги тегов ссылаются друг на друга по кругу или перекрываются (файл повреждён)";

// Bytes per value of every TIFF data type; 0 for types the format does not define.
std::uint32_t StoredTypeSize(std::uint16_t ADataType) {
    static constexpr std::uint8_t sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4, 0, 0, 8, 8, 8};
    return ADataType < std::size(sizes) ? sizes[ADataType] : 0;
}

bool IsIFDPointer(std::uint16_t ATag) {
    return ATag == tagSubIFDs || ATag == 34665 || ATag == 34853 || ATag == 40965;
}

// The tags that hold the offsets and byte counts of an image's data.
constexpr std::pair<std::uint16_t, std::uint16_t> imageDataTags[] = {{273, 279}, {324, 325}, {513, 514}};

class TStructureWalk {
public:
    TStructureWalk(const TByteSource& AFile, bool ABigEndian) : FFile(AFile), FBigEndian(ABigEndian) {}

    std::vector<TByteRange> Walk(std::uint32_t AFirstIFD) {
        FRanges.push_back({0, 8});
        std::vector<std::uint32_t> pending{AFirstIFD};
        while (!pending.empty()) {
            const std::uint32_t offset = pending.back();
            pending.pop_back();
            if (offset == 0)
                continue;
            if (std::find(FVisited.begin(), FVisited.end(), offset) != FVisited.end())
                throw ETIFFError(walkDamage);
            if (FVisited.size() == MaxIFDs)
                throw ETIFFError("В файле больше 1000 каталогов тегов (файл повреждён)");
            FVisited.push_back(offset);
            VisitIFD(offset, FVisited.size() == 1, pending);
        }
        return std::move(FRanges);
    }

private:
    void Add(std::uint64_t ABegin, std::uint64_t ALength) {
        if (ALength > 0 && IsRangeInside(ABegin, ALength, FFile.Size()))
            FRanges.push_back({ABegin, ABegin + ALength});
    }

    // Counts bytes about to be read; more than the file holds means the structure overlaps itself.
    void Charge(std::uint64_t ABytes) {
        FBytesRead += ABytes;
        if (FBytesRead > FFile.Size())
            throw ETIFFError(walkDamage);
    }

    // The entry's values as offsets or byte counts; nothing when they cannot be read.
    std::vector<std::uint32_t> Values(TTiffEntry AEntry) {
        if (AEntry.DataType == dtIFD)
            AEntry.DataType = dtLong;
        if (AEntry.Count > MaxTagArrayCount)
            return {};
        if (!AEntry.IsInline())
            Charge(std::uint64_t(AEntry.Count) * GetDataTypeSize(AEntry.DataType));
        try {
            return ReadTagCardinalArray(AEntry, FFile, FBigEndian, TArrayShortageText::astRequiredOnly);
        } catch (const ETIFFError&) {
            return {};
        }
    }

    void VisitIFD(std::uint32_t AOffset, bool AFirst, std::vector<std::uint32_t>& APending) {
        const std::optional<TStoredIFD> ifd = ReadStoredIFD(FFile, AOffset, FBigEndian);
        if (!ifd)
            return;
        const std::uint64_t entryBytes = std::uint64_t(IFDEntrySize) * ifd->EntryCount;
        Add(AOffset, std::min<std::uint64_t>(2 + entryBytes + 4, FFile.Size() - AOffset));
        if (!ifd->EntriesInside)
            return;
        Charge(2 + entryBytes);
        const std::vector<TTiffEntry>& entries = ifd->Entries;
        const std::vector<bool> last = LastOfEachTag(entries);
        TImageDataEntries dataEntries{};
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!last[i])
                continue;
            const TTiffEntry& entry = entries[i];
            for (std::size_t k = 0; k < std::size(imageDataTags); ++k) {
                if (entry.Tag == imageDataTags[k].first)
                    dataEntries[k].first = &entry;
                if (entry.Tag == imageDataTags[k].second)
                    dataEntries[k].second = &entry;
            }
            const std::uint32_t typeSize = StoredTypeSize(entry.DataType);
            if (typeSize != 0 && std::uint64_t(entry.Count) * typeSize > 4)
                Add(ReadU32(entry.ValueField.data(), FBigEndian), std::uint64_t(entry.Count) * typeSize);
            if (IsIFDPointer(entry.Tag))
                for (std::uint32_t child : Values(entry))
                    APending.push_back(child);
        }
        if (!AFirst)
            AddImageData(dataEntries);
        APending.push_back(ifd->NextIFD); // 0 ends the chain
    }

    // Per pair of imageDataTags, the entries of an IFD that hold them, if any.
    using TImageDataEntries = std::array<std::pair<const TTiffEntry*, const TTiffEntry*>, std::size(imageDataTags)>;

    void AddImageData(const TImageDataEntries& AEntries) {
        for (const auto& [offsetsEntry, countsEntry] : AEntries) {
            if (offsetsEntry == nullptr || countsEntry == nullptr)
                continue;
            const std::vector<std::uint32_t> offsets = Values(*offsetsEntry);
            const std::vector<std::uint32_t> counts = Values(*countsEntry);
            for (std::size_t i = 0; i < std::min(offsets.size(), counts.size()); ++i)
                Add(offsets[i], counts[i]);
        }
    }

    const TByteSource& FFile;
    bool FBigEndian;
    std::vector<TByteRange> FRanges;
    std::vector<std::uint32_t> FVisited;
    std::uint64_t FBytesRead = 0;
};

// Refuses a first image of a layout the readers do not handle.
void CheckFirstImageLayout(const std::vector<TTiffEntry>& AEntries, const TByteSource& AFile, bool ABigEndian) {
    const std::vector<bool> last = LastOfEachTag(AEntries);
    bool tiled = false;
    bool reduced = false;
    for (std::size_t i = 0; i < AEntries.size(); ++i) {
        const TTiffEntry& entry = AEntries[i];
        if (entry.Tag >= tagTileWidth && entry.Tag <= tagTileByteCounts)
            tiled = true;
        if (entry.Tag != tagNewSubfileType || !last[i])
            continue;
        try {
            reduced = (ReadTagValue(entry, AFile, ABigEndian) & 1) != 0;
        } catch (const ETIFFError&) {
            // An unreadable NewSubfileType says nothing; the image is taken as the main one.
        }
    }
    if (reduced)
        throw ETIFFError("Первое изображение файла — уменьшенная копия; основное изображение в файле не первое");
    if (tiled)
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
    if (!IsRangeInside(AOffset, 2, size))
        return std::nullopt;
    std::uint8_t countBytes[2];
    AFile.Read(AOffset, countBytes, 2);
    TStoredIFD ifd;
    ifd.EntryCount = ReadU16(countBytes, ABigEndian);
    const std::uint64_t entriesAt = std::uint64_t(AOffset) + 2;
    const std::uint64_t entryBytes = std::uint64_t(IFDEntrySize) * ifd.EntryCount;
    ifd.EntriesInside = IsRangeInside(entriesAt, entryBytes, size);
    if (!ifd.EntriesInside)
        return ifd;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(entryBytes));
    AFile.Read(entriesAt, bytes.data(), bytes.size());
    ifd.Entries.reserve(ifd.EntryCount);
    for (std::size_t i = 0; i < ifd.EntryCount; ++i)
        ifd.Entries.push_back(DecodeEntry(bytes.data() + IFDEntrySize * i, ABigEndian));
    if (IsRangeInside(entriesAt + entryBytes, 4, size)) {
        std::uint8_t next[4];
        AFile.Read(entriesAt + entryBytes, next, 4);
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

std::vector<TByteRange> ListStructureRanges(const TByteSource& AFile, bool ABigEndian, std::uint32_t AFirstIFD) {
    return TStructureWalk(AFile, ABigEndian).Walk(AFirstIFD);
}

} // namespace kvaderon
