// Writes the large files of the whole-process benchmark, little-endian and uncompressed:
//   make_tiff FILE WIDTH HEIGHT [ROWS_PER_STRIP]   16-bit RGB noise
//   make_tiff FILE --strips COUNT                  a grey image of COUNT one-row strips followed by an
//                                                  8-bit reduced image of COUNT one-row strips
#include "ByteOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using kvaderon::WriteU16;

namespace {

void PutU32(std::vector<std::uint8_t>& AOut, std::uint32_t AValue) {
    AOut.resize(AOut.size() + 4);
    WriteU16(AOut.data() + AOut.size() - 4, std::uint16_t(AValue & 0xFFFF), false);
    WriteU16(AOut.data() + AOut.size() - 2, std::uint16_t(AValue >> 16), false);
}

void PutU16(std::vector<std::uint8_t>& AOut, std::uint16_t AValue) {
    AOut.resize(AOut.size() + 2);
    WriteU16(AOut.data() + AOut.size() - 2, AValue, false);
}

void PutEntry(std::vector<std::uint8_t>& AOut, std::uint16_t ATag, std::uint16_t AType, std::uint32_t ACount,
              std::uint32_t AValue) {
    PutU16(AOut, ATag);
    PutU16(AOut, AType);
    PutU32(AOut, ACount);
    if (AType == 3 && ACount == 1) {
        PutU16(AOut, std::uint16_t(AValue));
        PutU16(AOut, 0);
    } else
        PutU32(AOut, AValue);
}

void PutImageIFD(std::vector<std::uint8_t>& AOut, std::uint32_t AIfdAt, std::uint32_t ANextIFD,
                 std::uint32_t ASubfileType, std::uint16_t ABits, std::uint32_t AStrips, std::uint32_t ADataAt) {
    const std::uint16_t entryCount = 10;
    const std::uint32_t offsetsAt = AIfdAt + 2 + 12 * entryCount + 4;
    const std::uint32_t countsAt = offsetsAt + 4 * AStrips;
    const std::uint32_t stripBytes = ABits / 8;
    PutU16(AOut, entryCount);
    PutEntry(AOut, 254, 4, 1, ASubfileType);
    PutEntry(AOut, 256, 4, 1, 1);
    PutEntry(AOut, 257, 4, 1, AStrips);
    PutEntry(AOut, 258, 3, 1, ABits);
    PutEntry(AOut, 259, 3, 1, 1);
    PutEntry(AOut, 262, 3, 1, 1);
    PutEntry(AOut, 273, 4, AStrips, offsetsAt);
    PutEntry(AOut, 277, 3, 1, 1);
    PutEntry(AOut, 278, 4, 1, 1);
    PutEntry(AOut, 279, 4, AStrips, countsAt);
    PutU32(AOut, ANextIFD);
    for (std::uint32_t s = 0; s < AStrips; ++s)
        PutU32(AOut, ADataAt + stripBytes * s);
    for (std::uint32_t s = 0; s < AStrips; ++s)
        PutU32(AOut, stripBytes);
}

// COUNT strips of one 16-bit sample, then COUNT strips of one 8-bit sample of the reduced image
// (NewSubfileType 1), then both IFDs with their strip tables.
int WriteManyStrips(const char* APath, std::uint32_t AStrips) {
    if (AStrips < 2 || AStrips > 100'000'000) {
        std::fprintf(stderr, "make_tiff: strip count out of range\n");
        return 2;
    }
    const std::uint32_t previewAt = 8 + 2 * AStrips;
    const std::uint32_t firstIfdAt = (previewAt + AStrips + 1) / 2 * 2;
    const std::uint32_t ifdBytes = 2 + 12 * 10 + 4 + 8 * AStrips;
    std::vector<std::uint8_t> out;
    out.push_back('I');
    out.push_back('I');
    PutU16(out, 42);
    PutU32(out, firstIfdAt);
    for (std::uint32_t s = 0; s < AStrips; ++s)
        PutU16(out, std::uint16_t(s * 40503u));
    for (std::uint32_t s = 0; s < AStrips; ++s)
        out.push_back(std::uint8_t(s * 167u));
    out.resize(firstIfdAt, 0);
    PutImageIFD(out, firstIfdAt, firstIfdAt + ifdBytes, 0, 16, AStrips, 8);
    PutImageIFD(out, firstIfdAt + ifdBytes, 0, 1, 8, AStrips, previewAt);
    std::FILE* file = std::fopen(APath, "wb");
    if (file == nullptr) {
        std::perror(APath);
        return 1;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[2]) == "--strips")
        return WriteManyStrips(argv[1], std::uint32_t(std::strtoul(argv[3], nullptr, 10)));
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_tiff FILE WIDTH HEIGHT [ROWS_PER_STRIP] | make_tiff FILE --strips COUNT\n");
        return 2;
    }
    const std::uint32_t width = std::uint32_t(std::strtoul(argv[2], nullptr, 10));
    const std::uint32_t height = std::uint32_t(std::strtoul(argv[3], nullptr, 10));
    const std::uint32_t rowsPerStrip = argc > 4 ? std::uint32_t(std::strtoul(argv[4], nullptr, 10)) : 16;
    const std::uint64_t rowBytes = std::uint64_t(width) * 3 * 2;
    const std::uint64_t dataBytes = rowBytes * height;
    if (width == 0 || height == 0 || rowsPerStrip == 0 || 8 + dataBytes + 4096 + 8ull * height > 0xFFFFFFFFull) {
        std::fprintf(stderr, "make_tiff: size out of range\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }

    std::vector<std::uint8_t> header;
    header.push_back('I');
    header.push_back('I');
    PutU16(header, 42);
    PutU32(header, std::uint32_t(8 + dataBytes));
    std::fwrite(header.data(), 1, header.size(), file);

    std::vector<std::uint8_t> row(rowBytes);
    std::uint32_t state = 0x9E3779B9u;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::size_t i = 0; i < row.size(); i += 2) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            WriteU16(row.data() + i, std::uint16_t(state), false);
        }
        std::fwrite(row.data(), 1, row.size(), file);
    }

    const std::uint32_t strips = (height + rowsPerStrip - 1) / rowsPerStrip;
    const std::uint16_t entryCount = 11;
    const std::uint32_t ifdAt = std::uint32_t(8 + dataBytes);
    const std::uint32_t arraysAt = ifdAt + 2 + 12 * entryCount + 4;
    const std::uint32_t bitsAt = arraysAt;
    const std::uint32_t offsetsAt = bitsAt + 6;
    const std::uint32_t countsAt = offsetsAt + 4 * strips;
    std::vector<std::uint8_t> tail;
    PutU16(tail, entryCount);
    PutEntry(tail, 256, 4, 1, width);
    PutEntry(tail, 257, 4, 1, height);
    PutEntry(tail, 258, 3, 3, bitsAt);
    PutEntry(tail, 259, 3, 1, 1);
    PutEntry(tail, 262, 3, 1, 2);
    PutEntry(tail, 273, 4, strips, strips == 1 ? 8 : offsetsAt);
    PutEntry(tail, 277, 3, 1, 3);
    PutEntry(tail, 278, 4, 1, rowsPerStrip);
    PutEntry(tail, 279, 4, strips, strips == 1 ? std::uint32_t(dataBytes) : countsAt);
    PutEntry(tail, 284, 3, 1, 1);
    PutEntry(tail, 339, 3, 1, 1);
    PutU32(tail, 0);
    for (int i = 0; i < 3; ++i)
        PutU16(tail, 16);
    for (std::uint32_t s = 0; s < strips; ++s)
        PutU32(tail, std::uint32_t(8 + rowBytes * rowsPerStrip * s));
    for (std::uint32_t s = 0; s < strips; ++s) {
        const std::uint32_t rows = std::min(rowsPerStrip, height - s * rowsPerStrip);
        PutU32(tail, std::uint32_t(rowBytes * rows));
    }
    std::fwrite(tail.data(), 1, tail.size(), file);
    return std::fclose(file) == 0 ? 0 : 1;
}
