#include "FileOperations.h"

#include "PathText.h"
#include "SystemError.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace kvaderon::platform {

namespace fs = std::filesystem;

namespace {

class TFileDescriptor {
public:
    explicit TFileDescriptor(int AFd) : FFd(AFd) {}
    ~TFileDescriptor() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return FFd; }
    int Release() { return std::exchange(FFd, -1); }

private:
    int FFd;
};

// Copies ASize bytes with the kernel's in-memory copy; read and write when the kernel cannot.
bool CopyContents(int AFrom, int ATo, std::uint64_t ASize) {
    std::uint64_t copied = 0;
    while (copied < ASize) {
        const ssize_t done = ::sendfile(ATo, AFrom, nullptr, size_t(std::min<std::uint64_t>(ASize - copied, 1u << 30)));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            if (copied == 0 && (errno == EINVAL || errno == ENOSYS))
                break;
            return false;
        }
        if (done == 0)
            return true; // the input became shorter while copying
        copied += std::uint64_t(done);
    }
    if (copied >= ASize)
        return true;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(AFrom, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(ATo, buffer + written, size_t(got - written));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                return false;
            written += put;
        }
    }
}

} // namespace

bool CreateNewFile(const fs::path& APath, std::error_code& AError) {
    const int fd = ::open(APath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        AError = LastSystemError();
        return false;
    }
    ::close(fd);
    return true;
}

void CopyFileData(const fs::path& AFrom, const fs::path& ATo) {
    TFileDescriptor from(::open(AFrom.c_str(), O_RDONLY | O_CLOEXEC));
    if (from.Get() < 0)
        ThrowSystemError("Не удалось открыть файл " + PathToUtf8(AFrom), LastSystemError());
    struct stat info {};
    if (::fstat(from.Get(), &info) != 0)
        ThrowSystemError("Не удалось прочитать свойства файла " + PathToUtf8(AFrom), LastSystemError());
    ::posix_fadvise(from.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    // No O_TRUNC: ext4 flushes a file truncated to length 0 at its close (auto_da_alloc), which
    // made the copy wait for the disk. The copy starts at offset 0 and a longer old tail is cut.
    TFileDescriptor to(::open(ATo.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    if (to.Get() < 0)
        ThrowSystemError("Не удалось создать файл " + PathToUtf8(ATo), LastSystemError());
    if (!CopyContents(from.Get(), to.Get(), std::uint64_t(info.st_size)))
        ThrowSystemError("Не удалось скопировать файл " + PathToUtf8(AFrom), LastSystemError());
    const off_t copied = ::lseek(to.Get(), 0, SEEK_CUR);
    if (copied < 0 || ::ftruncate(to.Get(), copied) != 0)
        ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATo), LastSystemError());
    if (::fchmod(to.Get(), (info.st_mode & 07777) | S_IWUSR | S_IRUSR) != 0)
        ThrowSystemError("Не удалось установить права файла " + PathToUtf8(ATo), LastSystemError());
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(to.Get(), times) != 0)
        ThrowSystemError("Не удалось установить время изменения файла " + PathToUtf8(ATo), LastSystemError());
    if (::close(to.Release()) != 0)
        ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATo), LastSystemError());
}

void ReplaceFile(const fs::path& AFrom, const fs::path& ATo) {
    if (::rename(AFrom.c_str(), ATo.c_str()) != 0)
        ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATo), LastSystemError());
}

} // namespace kvaderon::platform
