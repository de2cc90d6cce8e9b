#include "TiffDirectory.h"

#include "ByteSource.h"
#include "CommonTypes.h"

#include <algorithm>
#include <unordered_map>

namespace kvaderon {

namespace {

constexpr std::uint16_t tagNewSubfileType = 254;
constexpr std::uint16_t tagTileWidth = 322;
constexpr std::uint16_t tagTileByteCounts = 325;
constexpr std::uint16_t tagSubIFDs = 330;
constexpr std::uint16_t dtIFD = 13;
constexpr std::size_t maxIFDs = 1000;

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
            if (FVisited.size() == maxIFDs)
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
    std::vector<std::uint32_t> Values(TTIFFEntry AEntry) {
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
        const std::uint64_t size = FFile.Size();
        if (!IsRangeInside(AOffset, 2, size))
            return;
        std::uint8_t countBytes[2];
        FFile.Read(AOffset, countBytes, 2);
        const std::uint16_t count = ReadU16(countBytes, FBigEndian);
        const std::uint64_t entryBytes = std::uint64_t(IFDEntrySize) * count;
        Add(AOffset, std::min<std::uint64_t>(2 + entryBytes + 4, size - AOffset));
        if (!IsRangeInside(std::uint64_t(AOffset) + 2, entryBytes, size))
            return;
        Charge(2 + entryBytes);
        const std::vector<TTIFFEntry> entries = ReadIFDEntries(FFile, AOffset, count, FBigEndian);
        const std::vector<bool> last = LastOfEachTag(entries);
        std::unordered_map<std::uint16_t, const TTIFFEntry*> byTag;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!last[i])
                continue;
            const TTIFFEntry& entry = entries[i];
            byTag[entry.Tag] = &entry;
            const std::uint32_t typeSize = StoredTypeSize(entry.DataType);
            if (typeSize != 0 && std::uint64_t(entry.Count) * typeSize > 4)
                Add(ReadU32(entry.ValueField.data(), FBigEndian), std::uint64_t(entry.Count) * typeSize);
            if (IsIFDPointer(entry.Tag))
                for (std::uint32_t child : Values(entry))
                    APending.push_back(child);
        }
        if (!AFirst)
            AddImageData(byTag);
        const std::uint64_t nextAt = std::uint64_t(AOffset) + 2 + entryBytes;
        if (IsRangeInside(nextAt, 4, size)) {
            std::uint8_t next[4];
            FFile.Read(nextAt, next, 4);
            APending.push_back(ReadU32(next, FBigEndian));
        }
    }

    void AddImageData(const std::unordered_map<std::uint16_t, const TTIFFEntry*>& AByTag) {
        for (const auto& [offsetsTag, countsTag] : imageDataTags) {
            const auto offsetsEntry = AByTag.find(offsetsTag);
            const auto countsEntry = AByTag.find(countsTag);
            if (offsetsEntry == AByTag.end() || countsEntry == AByTag.end())
                continue;
            const std::vector<std::uint32_t> offsets = Values(*offsetsEntry->second);
            const std::vector<std::uint32_t> counts = Values(*countsEntry->second);
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

} // namespace

std::string HeaderLayoutReason(const std::uint8_t* AHeader, bool ABigEndian) {
    return ReadU16(AHeader + 2, ABigEndian) == 43 ? "BigTIFF не поддерживается" : "";
}

std::vector<TTIFFEntry> ReadIFDEntries(const TByteSource& AFile, std::uint32_t AIFDOffset, std::uint16_t ACount,
                                       bool ABigEndian) {
    std::vector<std::uint8_t> bytes(std::size_t(IFDEntrySize) * ACount);
    AFile.Read(std::uint64_t(AIFDOffset) + 2, bytes.data(), bytes.size());
    std::vector<TTIFFEntry> entries;
    entries.reserve(ACount);
    for (std::size_t i = 0; i < ACount; ++i)
        entries.push_back(DecodeEntry(bytes.data() + IFDEntrySize * i, ABigEndian));
    return entries;
}

std::vector<bool> LastOfEachTag(const std::vector<TTIFFEntry>& AEntries) {
    std::vector<bool> last(AEntries.size(), false);
    std::unordered_map<std::uint16_t, std::size_t> lastIndex;
    for (std::size_t i = 0; i < AEntries.size(); ++i)
        lastIndex[AEntries[i].Tag] = i;
    for (const auto& [tag, index] : lastIndex)
        last[index] = true;
    return last;
}

std::string FirstImageLayoutReason(const std::vector<TTIFFEntry>& AEntries, const TByteSource& AFile,
                                   bool ABigEndian) {
    const std::vector<bool> last = LastOfEachTag(AEntries);
    bool tiled = false;
    for (std::size_t i = 0; i < AEntries.size(); ++i) {
        const TTIFFEntry& entry = AEntries[i];
        if (entry.Tag >= tagTileWidth && entry.Tag <= tagTileByteCounts)
            tiled = true;
        if (entry.Tag != tagNewSubfileType || !last[i])
            continue;
        try {
            if (ReadTagValue(entry, AFile, ABigEndian) & 1)
                return "Первое изображение файла — уменьшенная копия; основное изображение в файле не первое";
        } catch (const ETIFFError&) {
            // An unreadable NewSubfileType says nothing; the image is taken as the main one.
        }
    }
    return tiled ? "Тайловые TIFF не поддерживаются" : "";
}

std::vector<TByteRange> ListStructureRanges(const TByteSource& AFile, bool ABigEndian, std::uint32_t AFirstIFD) {
    return TStructureWalk(AFile, ABigEndian).Walk(AFirstIFD);
}

} // namespace kvaderon
