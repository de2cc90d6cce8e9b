// The bytes of a file as the TIFF readers see them: held in memory, or read from an open file on
// demand. Readers check every range against Size() before they ask for it.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <cstring>
#include <filesystem>

namespace kvaderon {

// The piece in which the inverter and the analyzer read a file: a few hundred KiB, large enough
// for the system calls not to count, small enough for the cache.
constexpr std::size_t ReadChunkBytes = 256 * 1024;

class TByteSource {
public:
    explicit TByteSource(std::uint64_t ASize) : FSize(ASize) {}
    virtual ~TByteSource() = default;

    std::uint64_t Size() const { return FSize; }
    // Copies [AOffset, AOffset + ALength), a range inside Size(). A file that cannot be read
    // there raises platform::ESystemError.
    virtual void Read(std::uint64_t AOffset, void* AData, std::size_t ALength) const = 0;

private:
    std::uint64_t FSize;
};

class TMemoryBytes final : public TByteSource {
public:
    TMemoryBytes(const std::uint8_t* AData, std::uint64_t ASize) : TByteSource(ASize), FData(AData) {}
    void Read(std::uint64_t AOffset, void* AData, std::size_t ALength) const override {
        if (ALength > 0)
            std::memcpy(AData, FData + AOffset, ALength);
    }

private:
    const std::uint8_t* FData;
};

// AFile had ASize bytes when it was opened; APath names it in messages. Every read asks the file
// for exactly the bytes wanted: a read-ahead window would be refilled for every tiny strip of a
// table that jumps between distant parts of the file, reading many times the file's size.
class TFileBytes final : public TByteSource {
public:
    TFileBytes(platform::TFile& AFile, std::uint64_t ASize, std::filesystem::path APath)
        : TByteSource(ASize), FFile(AFile), FPath(std::move(APath)) {}
    void Read(std::uint64_t AOffset, void* AData, std::size_t ALength) const override {
        if (ALength > 0)
            platform::ReadExactly(FFile, AOffset, AData, ALength, FPath);
    }

private:
    platform::TFile& FFile;
    std::filesystem::path FPath;
};

} // namespace kvaderon
