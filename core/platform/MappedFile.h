// A whole file mapped into memory, released when the object goes out of scope.
#pragma once

#include <cstdint>
#include <filesystem>

namespace kvaderon::platform {

enum class TMapAccess { maReadOnly, maReadWrite };

// maReadWrite: a shared writable view whose changes reach the file; others may read the file
// meanwhile. maReadOnly never opens the file for writing. Both hint sequential access.
// Failures raise ESystemError; whatever was opened is closed again first.
class TMappedFile {
public:
    TMappedFile() = default;
    TMappedFile(const std::filesystem::path& AFileName, TMapAccess AAccess);
    ~TMappedFile();

    TMappedFile(TMappedFile&& AOther) noexcept;
    TMappedFile& operator=(TMappedFile&& AOther) noexcept;
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    std::uint8_t* View() const { return FView; }
    std::uint64_t Size() const { return FSize; }
    bool IsOpen() const { return FView != nullptr; }

    // Unmaps the view and closes the file; safe on a closed or partly opened object.
    void Close() noexcept;

private:
    void Swap(TMappedFile& AOther) noexcept;

    std::intptr_t FFileHandle = -1;
    std::intptr_t FMappingHandle = 0;
    std::uint8_t* FView = nullptr;
    std::uint64_t FSize = 0;
};

} // namespace kvaderon::platform
