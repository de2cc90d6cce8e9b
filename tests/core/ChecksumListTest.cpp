// The SHA256SUMS list: a file's line replaced or added, every other line kept.
#include "ChecksumList.h"
#include "CommonTypes.h"
#include "MemoryFileSystem.h"
#include "PathText.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

using namespace test;

const std::string hashA(64, 'a');
const std::string hashB(64, 'b');
const std::string hashC(64, 'c');

TEST(ChecksumList, TheLineOfTheNameIsReplacedOrAddedAndTheRestKept) {
    const struct {
        const char* Name;
        std::string List, FileName, Expected;
    } cases[] = {
        {"empty list", "", "x.tif", hashA + "  x.tif\n"},
        {"added after others", hashB + "  y.tif\n", "x.tif", hashB + "  y.tif\n" + hashA + "  x.tif\n"},
        {"replaced in place", hashB + "  y.tif\n" + hashC + "  x.tif\n" + hashC + "  z.tif\n", "x.tif",
         hashB + "  y.tif\n" + hashA + "  x.tif\n" + hashC + "  z.tif\n"},
        {"binary marker, twice, one line left", hashC + " *x.tif\n" + hashB + "  x.tif\n", "x.tif",
         hashA + "  x.tif\n"},
        {"a name that only ends alike is another file", hashB + "  ! x.tif\n", "x.tif",
         hashB + "  ! x.tif\n" + hashA + "  x.tif\n"},
        {"no last line break, CRLF and foreign lines kept", "# note\r\n" + hashB + "  y.tif", "x.tif",
         "# note\r\n" + hashB + "  y.tif\n" + hashA + "  x.tif\n"},
        {"escaped names", "\\" + hashB + "  a\\\\b\\nc.tif\n", "a\\b\nc.tif", "\\" + hashA + "  a\\\\b\\nc.tif\n"},
        {"Cyrillic", hashB + "  Скан 1.tif\n", "Скан 1.tif", hashA + "  Скан 1.tif\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(WithChecksum(c.List, c.FileName, hashA), c.Expected);
    }
}

TEST(ChecksumList, RecordingKeepsTheListWholeOrUnchanged) {
    TMemoryFileSystem files;
    RecordChecksum(files, "/out/x.tif", hashA);
    RecordChecksum(files, "/out/y.tif", hashB);
    RecordChecksum(files, "/out/x.tif", hashC);
    const std::string expected = hashC + "  x.tif\n" + hashB + "  y.tif\n";
    const std::filesystem::path list = std::filesystem::path("/out") / "SHA256SUMS";
    EXPECT_EQ(files.Node(list).Bytes, TBytes(expected.begin(), expected.end()));

    files.FailCall(4, std::errc::no_space_on_device);
    try {
        RecordChecksum(files, "/out/z.tif", hashA);
        ADD_FAILURE() << "no error";
    } catch (const ETIFFError& error) {
        const std::string prefix = "Не удалось записать список контрольных сумм " + PathToUtf8(list) + ": ";
        EXPECT_EQ(std::string(error.what()).rfind(prefix, 0), 0u) << error.what();
    }
    EXPECT_EQ(files.Node(list).Bytes, TBytes(expected.begin(), expected.end()));
    EXPECT_EQ(files.Paths(), std::vector<std::string>{PathToUtf8(list)});
}

} // namespace
} // namespace kvaderon
