#include "TiffImageMap.h"

#include "ByteOrder.h"
#include "ByteSource.h"
#include "CommonTypes.h"
#include "FileRange.h"
#include "TiffDirectory.h"
#include "TiffTags.h"

#include <optional>
#include <set>

namespace kvaderon {

namespace {

constexpr auto Shortage = TArrayShortageText::astRequiredOnly;
constexpr std::uint16_t dtIFD = 13; // SubIFDs may be stored as this type, read as LONG

struct TRawIFD {
    TTiffImage Image;
    std::uint32_t NewSubfileType = 0;
    std::uint16_t SubfileType = 0;
    std::vector<std::uint32_t> SubIFDs;
    std::uint32_t NextIFD = 0;
};

void HandleEntry(TTiffEntry AEntry, const TByteSource& AFile, bool ABigEndian, TRawIFD& AIFD) {
    TTiffImage& image = AIFD.Image;
    auto scalar = [&] { return ReadTagValue(AEntry, AFile, ABigEndian); };
    auto words = [&] { return ReadTagWordArray(AEntry, AFile, ABigEndian, Shortage); };
    auto cardinals = [&] { return ReadTagCardinalArray(AEntry, AFile, ABigEndian, Shortage); };
    switch (AEntry.Tag) {
    case 254:
        AIFD.NewSubfileType = scalar();
        break;
    case 255:
        AIFD.SubfileType = std::uint16_t(scalar());
        break;
    case 256:
        image.Width = scalar();
        break;
    case 257:
        image.Height = scalar();
        break;
    case 258:
        image.BitsPerSample = words();
        break;
    case 259:
        image.Compression = std::uint16_t(scalar());
        break;
    case 262:
        image.PhotometricInterpretation = std::uint16_t(scalar());
        break;
    case 273:
        image.StripOffsets = cardinals();
        break;
    case 277:
        image.SamplesPerPixel = std::uint16_t(scalar());
        break;
    case 279:
        image.StripByteCounts = cardinals();
        break;
    case 284:
        image.PlanarConfiguration = std::uint16_t(scalar());
        break;
    case 322:
    case 323:
    case 324:
    case 325:
        image.IsTiled = true;
        break;
    case 330:
        if (AEntry.DataType == dtIFD)
            AEntry.DataType = dtLong;
        AIFD.SubIFDs = cardinals();
        break;
    case 338:
        image.ExtraSamples = words();
        break;
    case 339:
        image.SampleFormat = std::uint16_t(scalar());
        break;
    default:
        break;
    }
}

TImageRole RoleOf(const TRawIFD& AIFD, bool AFirst) {
    if (AIFD.NewSubfileType & 4)
        return TImageRole::irMask;
    if ((AIFD.NewSubfileType & 1) || AIFD.SubfileType == 2)
        return TImageRole::irReduced;
    return AFirst ? TImageRole::irMain : TImageRole::irPage;
}

// False when there is no readable IFD at AOffset.
bool ReadIFD(const TByteSource& AFile, bool ABigEndian, std::uint32_t AOffset, TRawIFD& AIFD) {
    if (AOffset < 8)
        return false;
    const std::optional<TStoredIFD> stored = ReadStoredIFD(AFile, AOffset, ABigEndian);
    if (!stored || stored->EntryCount == 0 || stored->EntryCount > MaxIFDEntries || !stored->EntriesInside)
        return false;
    AIFD.Image.IFDOffset = AOffset;
    AIFD.Image.IFDEntryCount = stored->EntryCount;
    const std::vector<bool> last = LastOfEachTag(stored->Entries);
    for (std::size_t i = 0; i < stored->Entries.size(); ++i) {
        if (!last[i])
            continue; // an earlier copy of a repeated tag: the last one counts
        try {
            HandleEntry(stored->Entries[i], AFile, ABigEndian, AIFD);
        } catch (const ETIFFError&) {
            AIFD.Image.IsComplete = false;
        }
    }
    // A last IFD that ends the file without its next-IFD offset ends the chain.
    AIFD.NextIFD = stored->NextIFD;
    return true;
}

class TWalk {
public:
    TWalk(const TByteSource& AFile, bool ABigEndian) : FFile(AFile), FBigEndian(ABigEndian) {}

    void Chain(std::uint32_t AFirstIFD) {
        std::uint32_t offset = AFirstIFD;
        for (std::uint32_t index = 0; offset != 0; ++index) {
            const std::string where = "IFD " + std::to_string(index);
            const auto next = Visit(offset, where, where, index == 0);
            if (!next)
                return;
            offset = *next;
        }
    }

    std::vector<TTiffImage> Images;

private:
    // The next IFD of the chain, or nothing when the walk ends here.
    std::optional<std::uint32_t> Visit(std::uint32_t AOffset, const std::string& AWhere, const std::string& AWhereRu,
                                       bool AFirst) {
        TRawIFD ifd;
        if (Images.size() >= MaxMapImages || !FVisited.insert(AOffset).second ||
            !ReadIFD(FFile, FBigEndian, AOffset, ifd))
            return std::nullopt;
        ifd.Image.Where = AWhere;
        ifd.Image.WhereRu = AWhereRu;
        ifd.Image.Role = RoleOf(ifd, AFirst);
        Images.push_back(std::move(ifd.Image));
        for (std::size_t k = 0; k < ifd.SubIFDs.size(); ++k) {
            const std::string sub = "SubIFD " + std::to_string(k);
            if (!Visit(ifd.SubIFDs[k], sub + " of " + AWhere, sub + " в " + AWhereRu, false))
                break;
        }
        return ifd.NextIFD;
    }

    const TByteSource& FFile;
    bool FBigEndian;
    std::set<std::uint32_t> FVisited;
};

} // namespace

std::vector<TTiffImage> ReadImageMap(const TByteSource& AFile, bool ABigEndian, std::uint32_t AFirstIFD) {
    TWalk walk(AFile, ABigEndian);
    walk.Chain(AFirstIFD);
    return std::move(walk.Images);
}

std::string_view RoleWord(TImageRole ARole) {
    switch (ARole) {
    case TImageRole::irMain:
        return "main";
    case TImageRole::irReduced:
        return "reduced";
    case TImageRole::irPage:
        return "page";
    case TImageRole::irMask:
        return "mask";
    }
    return "page";
}

std::string_view RoleText(TImageRole ARole) {
    switch (ARole) {
    case TImageRole::irMain:
        return "основное изображение";
    case TImageRole::irReduced:
        return "уменьшенная копия";
    case TImageRole::irPage:
        return "другая страница";
    case TImageRole::irMask:
        return "маска прозрачности";
    }
    return {};
}

} // namespace kvaderon
