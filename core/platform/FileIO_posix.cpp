#include "FileIO.h"

#include "PathText.h"
#include "RenameSteps.h"
#include "SystemError.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvaderon::platform {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const char* AWhat, const fs::path& APath) {
    // Taken first: building the message below may itself set the error.
    const std::error_code error = LastSystemError();
    ThrowSystemError(std::string(AWhat) + " " + PathToUtf8(APath), error);
}

std::int64_t Nanoseconds(const timespec& ATime) {
    return std::int64_t(ATime.tv_sec) * 1000000000 + ATime.tv_nsec;
}

timespec ToTimespec(std::int64_t ANanoseconds) {
    std::int64_t seconds = ANanoseconds / 1000000000;
    std::int64_t rest = ANanoseconds % 1000000000;
    if (rest < 0) {
        rest += 1000000000;
        --seconds;
    }
    return {time_t(seconds), long(rest)};
}

std::error_code ResultOf(int AReturned) {
    return AReturned == 0 ? std::error_code() : LastSystemError();
}

class TPosixFile final : public TFile {
public:
    TPosixFile(int AFd, fs::path APath) : FFd(AFd), FPath(std::move(APath)) {}
    ~TPosixFile() override {
        if (FFd >= 0)
            ::close(FFd);
    }

    TFileInfo Info() override {
        struct stat info {};
        if (::fstat(FFd, &info) != 0)
            Fail("Не удалось прочитать свойства файла", FPath);
        return {std::uint64_t(info.st_size),
                std::uint32_t(info.st_mode & 07777),
                {Nanoseconds(info.st_atim), Nanoseconds(info.st_mtim)}};
    }

    std::size_t ReadAt(std::uint64_t AOffset, void* AData, std::size_t ALength) override {
        std::size_t done = 0;
        while (done < ALength) {
            const ssize_t got = ::pread(FFd, static_cast<char*>(AData) + done, ALength - done, off_t(AOffset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                Fail("Не удалось прочитать файл", FPath);
            if (got == 0)
                break;
            done += std::size_t(got);
        }
        return done;
    }

    void WriteAt(std::uint64_t AOffset, const void* AData, std::size_t ALength) override {
        std::size_t done = 0;
        while (done < ALength) {
            const ssize_t put =
                ::pwrite(FFd, static_cast<const char*>(AData) + done, ALength - done, off_t(AOffset + done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                Fail("Не удалось записать файл", FPath);
            done += std::size_t(put);
        }
    }

    void SetTimes(const TFileTimes& ATimes) override {
        const timespec times[2] = {ToTimespec(ATimes.Access), ToTimespec(ATimes.Modification)};
        if (::futimens(FFd, times) != 0)
            Fail("Не удалось установить время изменения файла", FPath);
    }

    void Close() override {
        const int fd = FFd;
        FFd = -1;
        if (fd >= 0 && ::close(fd) != 0)
            Fail("Не удалось записать файл", FPath);
    }

private:
    int FFd;
    fs::path FPath;
};

class TPosixFileSystem final : public TFileSystem {
public:
    std::unique_ptr<TFile> OpenRead(const fs::path& APath) override {
        // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
        const int fd = ::open(APath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0)
            Fail("Не удалось открыть файл", APath);
        auto file = std::make_unique<TPosixFile>(fd, APath);
        struct stat info {};
        if (::fstat(fd, &info) != 0)
            Fail("Не удалось прочитать свойства файла", APath);
        if (!S_ISREG(info.st_mode))
            throw ENotRegularFile(APath, S_ISDIR(info.st_mode));
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return file;
    }

    std::unique_ptr<TFile> CreateNew(const fs::path& APath, std::uint32_t APermissions) override {
        const int fd = ::open(APath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            Fail("Не удалось создать файл", APath);
        auto file = std::make_unique<TPosixFile>(fd, APath);
        if (APermissions != 0 && ::fchmod(fd, mode_t(APermissions)) != 0) {
            const auto error = LastSystemError();
            file.reset();
            ::unlink(APath.c_str());
            ThrowSystemError("Не удалось установить права файла " + PathToUtf8(APath), error);
        }
        return file;
    }

    std::unique_ptr<TFile> OpenLocked(const fs::path& APath) override {
        for (;;) {
            const int fd = ::open(APath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
            if (fd < 0)
                Fail("Не удалось открыть файл", APath);
            auto file = std::make_unique<TPosixFile>(fd, APath);
            struct stat opened {};
            if (::fstat(fd, &opened) != 0)
                Fail("Не удалось прочитать свойства файла", APath);
            if (!S_ISREG(opened.st_mode))
                throw ENotRegularFile(APath, S_ISDIR(opened.st_mode));
            int locked = 0;
            do
                locked = ::flock(fd, LOCK_EX);
            while (locked != 0 && errno == EINTR);
            if (locked != 0)
                Fail("Не удалось заблокировать файл", APath);
            // A holder before us may have replaced the file by a rename: then lock the new one.
            struct stat named {};
            if (::stat(APath.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
                return file;
        }
    }

    void Rename(const fs::path& AFrom, const fs::path& ATo, TRenameMode AMode) override {
        std::error_code error;
        if (AMode == TRenameMode::rmReplace)
            error = ResultOf(::rename(AFrom.c_str(), ATo.c_str()));
        else
            error = RenameWithoutReplacing({
                [&] { return ResultOf(::renameat2(AT_FDCWD, AFrom.c_str(), AT_FDCWD, ATo.c_str(), RENAME_NOREPLACE)); },
                [&] { return ResultOf(::link(AFrom.c_str(), ATo.c_str())); },
                [&] { return ResultOf(::unlink(AFrom.c_str())); },
                [&] {
                    struct stat info {};
                    return ::lstat(ATo.c_str(), &info) == 0 || errno != ENOENT;
                },
                [&] { return ResultOf(::rename(AFrom.c_str(), ATo.c_str())); },
            });
        if (error)
            ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATo), error);
    }

    void Remove(const fs::path& APath) override {
        if (::unlink(APath.c_str()) != 0)
            Fail("Не удалось удалить файл", APath);
    }
};

} // namespace

fs::path SystemCallPath(const fs::path& APath) {
    return APath;
}

bool IsHiddenEntry(const fs::path& APath) {
    const std::string name = APath.filename().native();
    return !name.empty() && name.front() == '.';
}

// Linux tells the umask in /proc without changing it; elsewhere it is set and put back at once,
// which other threads creating files at that moment could notice.
std::uint32_t TFileSystem::CreationMask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Umask:", 0) == 0)
            return std::uint32_t(std::stoul(line.substr(6), nullptr, 8)) & 0777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return std::uint32_t(mask) & 0777;
}

TFileSystem& SystemFileSystem() {
    static TPosixFileSystem fileSystem;
    return fileSystem;
}

} // namespace kvaderon::platform
