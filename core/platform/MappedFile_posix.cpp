#include "MappedFile.h"

#include "PathText.h"
#include "SystemError.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvaderon::platform {

namespace {

// Makes a shared writable view writable in one call, folio by folio. Without it the first write
// to each 4 KiB page takes a fault of its own that calls into the file system, which made the
// inversion pass about half as fast again as the copy before it. (MAP_POPULATE is no help: on
// a shared view it fills the page tables read-only, and every write still faults.) Skipped for
// a file that might not fit into memory as a whole; kernels without the call ignore it.
void PrepareForWriting(void* AView, std::uint64_t ASize) {
#ifdef MADV_POPULATE_WRITE
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0 && ASize <= std::uint64_t(pages) * std::uint64_t(pageSize) / 4)
        ::madvise(AView, size_t(ASize), MADV_POPULATE_WRITE);
#else
    (void)AView;
    (void)ASize;
#endif
}

} // namespace

TMappedFile::TMappedFile(const std::filesystem::path& AFileName, TMapAccess AAccess) {
    const bool writable = AAccess == TMapAccess::maReadWrite;
    const int fd = ::open(AFileName.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0)
        ThrowSystemError("Не удалось открыть файл " + PathToUtf8(AFileName), LastSystemError());
    FFileHandle = fd;

    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const auto error = LastSystemError();
        Close();
        ThrowSystemError("Не удалось получить размер файла " + PathToUtf8(AFileName), error);
    }
    if (!S_ISREG(info.st_mode) || info.st_size <= 0) {
        Close();
        throw ESystemError(S_ISREG(info.st_mode)
                               ? "Пустой файл нельзя отобразить в память: " + PathToUtf8(AFileName)
                               : "Это не обычный файл: " + PathToUtf8(AFileName));
    }
    const auto size = std::uint64_t(info.st_size);
    if (size > std::uint64_t(SIZE_MAX)) {
        Close();
        throw ESystemError("Файл слишком велик для отображения в память: " + PathToUtf8(AFileName));
    }

    void* view = ::mmap(nullptr, size_t(size), writable ? PROT_READ | PROT_WRITE : PROT_READ,
                        MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        const auto error = LastSystemError();
        Close();
        ThrowSystemError("Не удалось отобразить файл в память " + PathToUtf8(AFileName), error);
    }
    ::madvise(view, size_t(size), MADV_SEQUENTIAL);
    if (writable)
        PrepareForWriting(view, size);
    FView = static_cast<std::uint8_t*>(view);
    FSize = size;
}

void TMappedFile::Close() noexcept {
    if (FView != nullptr)
        ::munmap(FView, size_t(FSize));
    FView = nullptr;
    FSize = 0;
    if (FFileHandle >= 0)
        ::close(int(FFileHandle));
    FFileHandle = -1;
}

} // namespace kvaderon::platform
