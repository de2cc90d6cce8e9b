#include "NonRegularFiles.h"
#include "PathText.h"
#include "TempDir.h"
#include "TempFiles.h"
#include "TiffBuilder.h"
#include "platform/FileIO.h"
#include "platform/RenameSteps.h"
#include "platform/SystemError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace kvaderon {
namespace {

using namespace test;
namespace fs = std::filesystem;
using platform::SystemFileSystem;
using platform::TRenameMode;

std::error_code ErrorOf(const std::function<void()>& AAction) {
    try {
        AAction();
    } catch (const platform::ESystemError& error) {
        return error.Code();
    }
    return {};
}

TEST(SystemFileSystem, WritesReadsAndKeepsPermissionsAndTimes) {
    TTempDir dir;
    auto& files = SystemFileSystem();
    {
        auto file = files.CreateNew(dir / "new", 0640);
        file->WriteAt(0, "abcdef", 6);
        file->WriteAt(2, "XY", 2);
        file->SetTimes({1000000000LL * 86400, 1000000000LL * 86400 * 2 + 5000});
        file->Close();
    }
    EXPECT_EQ(ReadFile(dir / "new"), (TBytes{'a', 'b', 'X', 'Y', 'e', 'f'}));
    auto file = files.OpenRead(dir / "new");
    const platform::TFileInfo info = file->Info();
    EXPECT_EQ(info.Size, 6u);
    if (HasPermissionBits()) {
        EXPECT_EQ(info.Permissions, 0640u);
    }
    EXPECT_EQ(info.Times.Modification, 1000000000LL * 86400 * 2 + 5000);
    char buffer[8] = {};
    EXPECT_EQ(file->ReadAt(4, buffer, sizeof buffer), 2u) << "a read past the end is short";
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_THROW(platform::ReadExactly(*file, 4, buffer, 3, dir / "new"), platform::ESystemError);
    file->Close();

    EXPECT_EQ(ErrorOf([&] { files.CreateNew(dir / "new", 0600); }), std::errc::file_exists);
}

TEST(SystemFileSystem, OpensOnlyRegularFilesAndNeverWaitsOnAFifo) {
    TTempDir dir;
    fs::create_directory(dir / "folder");
    std::vector<std::pair<fs::path, std::errc>> notFiles{{dir / "folder", std::errc::is_a_directory},
                                                         {dir / "missing", std::errc::no_such_file_or_directory},
                                                         {NullDevice(), std::errc::no_such_device}};
    if (MakeFifo(dir / "fifo"))
        notFiles.push_back({dir / "fifo", std::errc::no_such_device});
    for (const auto& [notAFile, error] : notFiles) {
        SCOPED_TRACE(PathToUtf8(notAFile));
        EXPECT_EQ(ErrorOf([&] { SystemFileSystem().OpenRead(notAFile); }), error);
    }
}

TEST(SystemError, EveryReasonTheProgramCanMeetIsRussian) {
    const std::errc codes[] = {
        std::errc::bad_file_descriptor,
        std::errc::broken_pipe,
        std::errc::no_space_on_device,
        std::errc::io_error,
        std::errc::interrupted,
        std::errc::resource_unavailable_try_again,
        std::errc::no_such_device_or_address,
        std::errc::not_supported,
        std::errc::function_not_supported,
        std::errc::invalid_seek,
        std::errc::too_many_links,
        std::errc::directory_not_empty,
        std::errc::connection_reset,
        std::errc::timed_out,
        std::errc::no_lock_available,
        std::errc::is_a_directory,
        std::errc::no_such_device,
        std::errc::file_too_large,
        std::errc::read_only_file_system,
    };
    for (const std::errc code : codes) {
        const std::string text = platform::SystemErrorText(std::make_error_code(code));
        SCOPED_TRACE(text);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(std::count_if(text.begin(), text.end(),
                                [](char AChar) { return std::isalpha(static_cast<unsigned char>(AChar)); }),
                  0)
            << "a Latin letter";
    }
    EXPECT_EQ(platform::SystemErrorText(std::make_error_code(std::errc::bad_file_descriptor)),
              "Неверный дескриптор файла (поток закрыт)");
    EXPECT_EQ(platform::SystemErrorText({7777, std::generic_category()}), "Системная ошибка 7777");
}

TEST(SystemFileSystem, RenameReplacesOnlyWhenAsked) {
    TTempDir dir;
    WriteFile(dir / "a", {1});
    WriteFile(dir / "b", {2});
    EXPECT_EQ(ErrorOf([&] { SystemFileSystem().Rename(dir / "a", dir / "b", TRenameMode::rmNoReplace); }),
              std::errc::file_exists);
    EXPECT_EQ(ReadFile(dir / "b"), TBytes{2});
    SystemFileSystem().Rename(dir / "a", dir / "b", TRenameMode::rmReplace);
    EXPECT_EQ(ReadFile(dir / "b"), TBytes{1});
    SystemFileSystem().Rename(dir / "b", dir / "c", TRenameMode::rmNoReplace);
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"c"});
}

// The no-replace rename on file systems that lack the atomic call, hard links, or both.
TEST(RenameWithoutReplacing, FallsBackStepByStepAndNeverReplaces) {
    const auto unsupported = std::make_error_code(std::errc::invalid_argument);
    const auto noLinks = std::make_error_code(std::errc::operation_not_permitted);
    const auto exists = std::make_error_code(std::errc::file_exists);
    const auto full = std::make_error_code(std::errc::no_space_on_device);
    struct TCase {
        const char* Name;
        std::error_code Atomic, Link;
        bool TargetExists;
        std::error_code Expected;
        std::string Steps;
    };
    const std::vector<TCase> cases = {
        {"atomic call", {}, {}, false, {}, "n"},
        {"atomic call finds the target", exists, {}, true, exists, "n"},
        {"atomic call fails otherwise", full, {}, false, full, "n"},
        {"hard link", unsupported, {}, false, {}, "nlu"},
        {"hard link finds the target", unsupported, exists, true, exists, "nl"},
        {"neither, target absent", unsupported, noLinks, false, {}, "nler"},
        {"neither, target present", unsupported, noLinks, true, exists, "nle"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string steps;
        const std::error_code result = platform::RenameWithoutReplacing({
            [&] {
                steps += 'n';
                return c.Atomic;
            },
            [&] {
                steps += 'l';
                return c.Link;
            },
            [&] {
                steps += 'u';
                return std::error_code();
            },
            [&] {
                steps += 'e';
                return c.TargetExists;
            },
            [&] {
                steps += 'r';
                return std::error_code();
            },
        });
        EXPECT_EQ(result, c.Expected);
        EXPECT_EQ(steps, c.Steps);
    }
}

TEST(CreateTempFileBeside, FixedLengthNamesBesideTheTargetAndFailuresNameTheTarget) {
    TTempDir dir;
    const std::string longName(200, 'x');
    TTempFile first = CreateTempFileBeside(SystemFileSystem(), dir / longName, 0600);
    TTempFile second = CreateTempFileBeside(SystemFileSystem(), dir / "b", 0600);
    EXPECT_EQ(first.Path.parent_path(), dir.Path());
    EXPECT_EQ(first.Path.filename().string().size(), second.Path.filename().string().size());
    EXPECT_NE(first.Path, second.Path);
    for (const auto& temp : {first.Path, second.Path}) {
        SystemFileSystem().Remove(temp);
        ForgetTempFile(temp);
    }
    try {
        CreateTempFileBeside(SystemFileSystem(), dir / "no" / "x", 0600);
        FAIL();
    } catch (const platform::ESystemError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Не удалось создать файл " + PathToUtf8(dir / "no" / "x") + ": Файл или папка не найдены");
    }
}

} // namespace
} // namespace kvaderon
