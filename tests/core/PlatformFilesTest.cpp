#include "TempDir.h"
#include "TiffBuilder.h"
#include "platform/FileOperations.h"
#include "platform/MappedFile.h"
#include "platform/SystemError.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

using namespace test;
namespace fs = std::filesystem;
using platform::TMapAccess;
using platform::TMappedFile;

TEST(CopyFileData, CopiesBytesPermissionsAndModificationTime) {
    TTempDir dir;
    TBytes data(300000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = std::uint8_t(i * 7);
    WriteFile(dir / "from", data);
    const auto past = fs::last_write_time(dir / "from") - std::chrono::hours(1000);
    fs::last_write_time(dir / "from", past);
    fs::permissions(dir / "from", fs::perms::owner_read);
    WriteFile(dir / "to", {'x'});

    platform::CopyFileData(dir / "from", dir / "to");
    EXPECT_EQ(ReadFile(dir / "to"), data);
    EXPECT_EQ(fs::last_write_time(dir / "to"), past);
    EXPECT_EQ(fs::status(dir / "to").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(TMappedFile, WritesReachTheFileAndFailuresSayWhy) {
    TTempDir dir;
    WriteFile(dir / "data", {1, 2, 3});
    {
        TMappedFile mapped(dir / "data", TMapAccess::maReadWrite);
        ASSERT_EQ(mapped.Size(), 3u);
        mapped.View()[1] = 9;
        TMappedFile moved = std::move(mapped);
        EXPECT_FALSE(mapped.IsOpen());
        EXPECT_TRUE(moved.IsOpen());
    }
    EXPECT_EQ(ReadFile(dir / "data"), (TBytes{1, 9, 3}));
    EXPECT_EQ(TMappedFile(dir / "data", TMapAccess::maReadOnly).View()[1], 9);

    WriteFile(dir / "empty", {});
    EXPECT_THROW(TMappedFile(dir / "empty", TMapAccess::maReadOnly), platform::ESystemError);
    try {
        TMappedFile(dir / "none", TMapAccess::maReadOnly);
        FAIL();
    } catch (const platform::ESystemError& error) {
        EXPECT_EQ(std::string(error.what()), "Не удалось открыть файл " + (dir / "none").string() +
                                                 ": Файл или папка не найдены");
    }
}

TEST(FileOperations, SameFileTempNamesAndReplace) {
    TTempDir dir;
    WriteFile(dir / "a", {1});
    WriteFile(dir / "b", {1});
    fs::create_symlink(dir / "a", dir / "s");
    EXPECT_TRUE(platform::IsSameFile(dir / "a", dir / "s"));
    EXPECT_TRUE(platform::IsSameFile(dir / "a", dir / "." / "a"));
    EXPECT_FALSE(platform::IsSameFile(dir / "a", dir / "b"));
    EXPECT_FALSE(platform::IsSameFile(dir / "a", dir / "missing"));

    const fs::path first = platform::CreateTempFileBeside(dir / "b");
    const fs::path second = platform::CreateTempFileBeside(dir / "b");
    EXPECT_NE(first, second);
    EXPECT_EQ(first.parent_path(), dir.Path());
    platform::ReplaceFile(first, dir / "b");
    EXPECT_EQ(ReadFile(dir / "b"), TBytes{});
    platform::RemoveFileQuietly(second);
    platform::RemoveFileQuietly(dir / "missing");
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"a", "b", "s"}));
    EXPECT_THROW(platform::CreateTempFileBeside(dir / "no" / "x"), platform::ESystemError);
}

} // namespace
} // namespace kvaderon
