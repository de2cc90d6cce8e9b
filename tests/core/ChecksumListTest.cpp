// The SHA256SUMS list: a file's line replaced or added, every other line kept; lines appended
// under a lock, looked up and parsed as sha256sum -c reads them.
#include "ChecksumList.h"
#include "CommonTypes.h"
#include "FaultLoop.h"
#include "MemoryFileSystem.h"
#include "PathText.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace kvaderon {
namespace {

// AName followed by the numbers joined by "-", and ".tif"; appended piece by piece, since GCC 12 at
// -O3 takes a literal joined to a temporary string for an overlapping copy.
std::string NumberedName(std::string AName, std::initializer_list<int> ANumbers) {
    const char* separator = "";
    for (const int number : ANumbers) {
        AName += separator;
        AName += std::to_string(number);
        separator = "-";
    }
    AName += ".tif";
    return AName;
}

using namespace test;

const std::string hashA(64, 'a');
const std::string hashB(64, 'b');
const std::string hashC(64, 'c');
const std::filesystem::path listPath = std::filesystem::path("/out") / "SHA256SUMS";

TBytes Bytes(const std::string& AText) {
    return TBytes(AText.begin(), AText.end());
}

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
        TMemoryFileSystem files;
        files.Write(listPath, Bytes(c.List));
        TChecksumList(files, listPath).Replace(c.FileName, hashA);
        EXPECT_EQ(files.Node(listPath).Bytes, Bytes(c.Expected));
        EXPECT_EQ(files.Paths(), std::vector<std::string>{PathToUtf8(listPath)});
    }
}

TEST(ChecksumList, RecordingKeepsTheListWholeOrUnchanged) {
    TMemoryFileSystem files;
    RecordChecksum(files, "/out/x.tif", hashA, false);
    RecordChecksum(files, "/out/y.tif", hashB, false);
    RecordChecksum(files, "/out/x.tif", hashC, true);
    const std::string expected = hashC + "  x.tif\n" + hashB + "  y.tif\n";
    const std::filesystem::path& list = listPath;
    EXPECT_EQ(files.Node(list).Bytes, TBytes(expected.begin(), expected.end()));

    files.FailCall(4, std::errc::no_space_on_device);
    try {
        RecordChecksum(files, "/out/z.tif", hashA, false);
        ADD_FAILURE() << "no error";
    } catch (const ETIFFError& error) {
        const std::string prefix = "Не удалось записать список контрольных сумм " + PathToUtf8(list) + ": ";
        EXPECT_EQ(std::string(error.what()).rfind(prefix, 0), 0u) << error.what();
    }
    EXPECT_EQ(files.Node(list).Bytes, TBytes(expected.begin(), expected.end()));
    EXPECT_EQ(files.Paths(), std::vector<std::string>{PathToUtf8(list)});
}

// Each call of an append and of a rewrite fails in turn: the list is the old or the new one, never
// a half-written one, no temporary file is left unnamed, the lock is let go, and the error names
// the list.
TEST(ChecksumList, AFailedRecordLeavesTheListAsItWas) {
    const std::string before = hashB + "  y.tif\n" + hashC + "  x.tif\n";
    const struct {
        const char* Name;
        bool Replace;
        std::string After;
    } cases[] = {
        {"append", false, before + hashA + "  z.tif\n"},
        {"rewrite", true, hashB + "  y.tif\n" + hashA + "  x.tif\n"},
    };
    for (const auto& c : cases) {
        for (const TFault& fault : Faults) {
            SCOPED_TRACE(std::string(c.Name) + (fault.AndAfter ? ", every call after" : ""));
            bool done = false;
            for (std::size_t failing = 1; !done && failing < 100; ++failing) {
                TMemoryFileSystem files;
                files.Write(listPath, Bytes(before));
                files.FailCall(failing, fault.Error, fault.AndAfter);
                try {
                    RecordChecksum(files, c.Replace ? "/out/x.tif" : "/out/z.tif", hashA, c.Replace);
                    done = true;
                } catch (const ETIFFError& error) {
                    const std::string prefix = "Не удалось записать список контрольных сумм " + PathToUtf8(listPath);
                    EXPECT_EQ(std::string(error.what()).rfind(prefix, 0), 0u) << error.what();
                    files.FailCall(0, fault.Error);
                    // A close that fails after the write may or may not have kept the line.
                    const auto& bytes = files.Node(listPath).Bytes;
                    EXPECT_TRUE(bytes == Bytes(before) || bytes == Bytes(c.After)) << "call " << failing;
                    ExpectOnlyNamedTemporaryFilesLeft(files, {PathToUtf8(listPath)}, {error.what()});
                    EXPECT_EQ(files.OpenFiles(), 0);
                    EXPECT_FALSE(files.Node(listPath).Locked);
                    continue;
                }
                EXPECT_EQ(files.Node(listPath).Bytes, Bytes(c.After));
            }
            EXPECT_TRUE(done);
        }
    }
}

// An append reads and writes nothing but its own line, whatever the list's length; a lookup and a
// rewrite pass over the list once.
TEST(ChecksumList, AnAppendCostsOneLineWhateverTheListsLength) {
    for (const int lines : {3, 3000}) {
        SCOPED_TRACE(lines);
        std::string list;
        for (int i = 0; i < lines; ++i)
            list += ChecksumLine(NumberedName("f", {i}), hashB);
        TMemoryFileSystem files;
        files.Write(listPath, Bytes(list));

        TChecksumList appending(files, listPath);
        appending.Append("new.tif", hashA);
        EXPECT_EQ(appending.LinesRead(), 0u);
        EXPECT_EQ(appending.LinesWritten(), 1u);
        EXPECT_LE(files.BytesRead(), 1u);

        TChecksumList looking(files, listPath);
        EXPECT_EQ(looking.Find("new.tif"), hashA);
        EXPECT_EQ(looking.Find("f0.tif"), hashB);
        EXPECT_EQ(looking.Find("missing.tif"), std::nullopt);
        EXPECT_EQ(looking.LinesRead(), 3u * (lines + 1));
        EXPECT_EQ(looking.LinesWritten(), 0u);

        TChecksumList rewriting(files, listPath);
        rewriting.Replace("f1.tif", hashC);
        EXPECT_EQ(rewriting.LinesRead(), std::uint64_t(lines + 1));
        EXPECT_EQ(rewriting.LinesWritten(), std::uint64_t(lines + 1));
        EXPECT_EQ(TChecksumList(files, listPath).Find("f1.tif"), hashC);
    }
}

// Threads appending to one list at once each wait for the lock: every line arrives whole.
TEST(ChecksumList, ConcurrentAppendsLoseNoLine) {
    TMemoryFileSystem files;
    files.Write(listPath, Bytes(hashB + "  cut short")); // a crash left a line without its break
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w)
        writers.emplace_back([&files, w] {
            for (int i = 0; i < 50; ++i)
                RecordChecksum(files, NumberedName("/out/w", {w, i}), hashA, false);
        });
    for (auto& writer : writers)
        writer.join();
    const auto& bytes = files.Node(listPath).Bytes;
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 201);
    for (int w = 0; w < 4; ++w)
        for (int i = 0; i < 50; ++i)
            EXPECT_TRUE(HasChecksumLine(files, NumberedName("/out/w", {w, i})));
    EXPECT_EQ(text.find(hashB + "  cut short\n"), 0u);
}

// Lines as sha256sum writes and reads them: escapes, binary marks, CRLF, comments, and lines of
// other forms.
TEST(ChecksumList, LinesAreReadAsSha256sumReadsThem) {
    const std::string upper(64, 'A');
    const struct {
        const char* Name;
        std::string Line;
        TChecksumLineKind Kind;
        std::string Name_;
        std::string Hash;
    } cases[] = {
        {"plain", hashA + "  a b.tif", TChecksumLineKind::ckEntry, "a b.tif", hashA},
        {"binary mark", hashA + " *a.tif", TChecksumLineKind::ckEntry, "a.tif", hashA},
        {"CRLF", hashA + "  a.tif\r", TChecksumLineKind::ckEntry, "a.tif", hashA},
        {"escaped", "\\" + hashA + "  a\\\\b\\nc\\rd.tif", TChecksumLineKind::ckEntry, "a\\b\nc\rd.tif", hashA},
        {"upper-case digits", upper + "  a.tif", TChecksumLineKind::ckEntry, "a.tif", hashA},
        {"comment", "# " + hashA + "  a.tif", TChecksumLineKind::ckComment, "", ""},
        {"empty line", "", TChecksumLineKind::ckComment, "", ""},
        {"one space", hashA + " a.tif", TChecksumLineKind::ckMalformed, "", ""},
        {"short hash", hashA.substr(1) + "  a.tif", TChecksumLineKind::ckMalformed, "", ""},
        {"not hexadecimal", std::string(64, 'g') + "  a.tif", TChecksumLineKind::ckMalformed, "", ""},
        {"no name", hashA + "  ", TChecksumLineKind::ckMalformed, "", ""},
        {"unknown escape", "\\" + hashA + "  a\\t.tif", TChecksumLineKind::ckMalformed, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TChecksumEntry entry = ParseChecksumLine(c.Line);
        EXPECT_EQ(entry.Kind, c.Kind);
        EXPECT_EQ(entry.Name, c.Name_);
        EXPECT_EQ(entry.Hash, c.Hash);
    }
    const std::string name = "a\\b\nc\rd.tif";
    const std::string written = ChecksumLine(name, hashA);
    EXPECT_EQ(ParseChecksumLine(std::string_view(written).substr(0, written.size() - 1)).Name, name);
}

} // namespace
} // namespace kvaderon
