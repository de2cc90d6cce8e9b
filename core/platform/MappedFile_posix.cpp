#include "MappedFile.h"

#include "PathText.h"
#include "SystemError.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvaderon::platform {

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
