// The inverter and the analyzer on files that fail, shrink or grow under them.
#include "FaultLoop.h"
#include "IniFile.h"
#include "InverterTestSupport.h"
#include "MemoryFileSystem.h"
#include "PathText.h"
#include "TIFFBitDepthAnalyzer.h"
#include "TempFiles.h"
#include "platform/SystemError.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

using namespace test;
namespace fs = std::filesystem;

const fs::path input = "/scans/in.tif";
const fs::path target = "/out/in.tif";

// Three chunks of the stream and more, with an alpha channel so that pixels straddle chunks.
TBytes LargeFile(std::uint32_t AHeight = 300) {
    TImageLayout layout;
    layout.SamplesPerPixel = 4;
    layout.Photometric = 2;
    layout.ExtraSamples = {2};
    layout.Width = 333;
    layout.Height = AHeight;
    layout.StripsPerPlane = 7;
    return BuildImage(layout).Build();
}

std::string Prefix() {
    return "Системная ошибка при обработке " + PathToUtf8(input) + ": ";
}

TEST(FileFaults, EveryFailingCallOfTheInverterLeavesInputAndTargetAsTheyWere) {
    const TBytes file = LargeFile();
    const TBytes expected = InvertBytes(file).Output;
    ASSERT_FALSE(expected.empty());
    // Plain, reading the written copy back, and that with the digests' thread.
    const TInversionOptions optionSets[] = {{true, false, false}, {true, true, false}, {true, true, true}};
    for (const TInversionOptions& options : optionSets) {
        for (const TFault fault : Faults) {
            for (std::size_t call = 1;; ++call) {
                SCOPED_TRACE(testing::Message()
                             << "call " << call << (fault.AndAfter ? " and after" : "")
                             << (options.Verify ? ", verify" : "") << (options.Hash ? ", hash" : ""));
                TMemoryFileSystem files;
                files.Write(input, file);
                files.Node(input).Permissions = 0444;
                files.Node(input).Times = {123456789, 987654321};
                files.Write(target, {'o', 'l', 'd'});
                files.FailCall(call, fault.Error, fault.AndAfter);
                try {
                    TTIFFInverterSingle(files).Invert(input, target, options);
                } catch (const ETIFFError& failure) {
                    const std::string message = failure.what();
                    // A full disk at the temporary file's creation is the destination's failure.
                    if (dynamic_cast<const EDestinationRefused*>(&failure) == nullptr) {
                        EXPECT_EQ(message.rfind(Prefix(), 0), 0u) << message;
                    } else {
                        EXPECT_EQ(fault.Error, std::errc::no_space_on_device) << message;
                    }
                    EXPECT_NE(message.find(platform::SystemErrorText(std::make_error_code(fault.Error))),
                              std::string::npos)
                        << message;
                    EXPECT_EQ(files.Node(input).Bytes, file);
                    EXPECT_EQ(files.Node(target).Bytes, (TBytes{'o', 'l', 'd'}));
                    ExpectOnlyNamedTemporaryFilesLeft(files, {PathToUtf8(target), PathToUtf8(input)}, {message});
                    EXPECT_EQ(files.OpenFiles(), 0);
                    continue;
                }
                EXPECT_EQ(files.Node(target).Bytes, expected);
                EXPECT_EQ(files.Node(target).Permissions, 0644u) << "the input's bits and the owner's read and write";
                EXPECT_EQ(files.Node(target).Times.Access, 123456789);
                EXPECT_EQ(files.Node(target).Times.Modification, 987654321);
                EXPECT_GT(call, 10u) << "too few calls for a streamed pass";
                break;
            }
        }
    }
}

TEST(FileFaults, EveryFailingCallOfASettingsSaveLeavesTheOldFile) {
    const fs::path settings = "/config/kvaderon.ini";
    const std::string before = "; by hand\n[Files]\nPrefix=old\n";
    for (const TFault fault : Faults) {
        for (std::size_t call = 1;; ++call) {
            SCOPED_TRACE(testing::Message() << "call " << call << (fault.AndAfter ? " and after" : ""));
            TMemoryFileSystem files;
            files.Write(settings, TBytes(before.begin(), before.end()));
            files.Node(settings).Permissions = 0640;
            TIniFile ini(settings, files);
            ini.WriteString("Files", "Prefix", "new");
            files.FailCall(call, fault.Error, fault.AndAfter);
            try {
                ini.UpdateFile();
            } catch (const platform::ESystemError& failure) {
                const std::string message = failure.what();
                EXPECT_EQ(message.rfind(platform::SystemErrorText(std::make_error_code(fault.Error)), 0), 0u)
                    << message;
                EXPECT_EQ(files.Node(settings).Bytes, TBytes(before.begin(), before.end()));
                ExpectOnlyNamedTemporaryFilesLeft(files, {PathToUtf8(settings)}, {message});
                EXPECT_EQ(files.OpenFiles(), 0);
                continue;
            }
            files.FailCall(0, fault.Error);
            EXPECT_EQ(TIniFile(settings, files).Text(), "; by hand\n[Files]\nPrefix=new\n");
            EXPECT_EQ(files.Node(settings).Permissions, 0640u);
            EXPECT_EQ(files.Paths(), std::vector<std::string>{PathToUtf8(settings)});
            EXPECT_GT(call, 4u) << "too few calls for a save through a temporary file";
            break;
        }
    }
}

TEST(FileFaults, AnInputThatShrinksOrGrowsDuringTheCopyIsAnError) {
    const TBytes file = LargeFile();
    struct TCase {
        const char* Name;
        std::size_t NewSize;
        std::string Reason;
    };
    const std::vector<TCase> cases = {
        {"shrinks", file.size() - 1000, "Файл стал короче во время чтения: " + PathToUtf8(input)},
        {"grows", file.size() + 1, "Файл стал длиннее во время чтения: " + PathToUtf8(input)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryFileSystem files;
        files.Write(input, file);
        bool changed = false;
        files.BeforeCall = [&](std::size_t) {
            if (!changed && files.OpenFiles() == 2) { // the input and the temporary file: streaming
                changed = true;
                TBytes bytes = file;
                bytes.resize(c.NewSize);
                files.Write(input, bytes);
            }
        };
        try {
            TTIFFInverterSingle(files).InvertTIFF16Bit(input, target, true);
            ADD_FAILURE() << "succeeded";
        } catch (const ETIFFError& failure) {
            EXPECT_EQ(std::string(failure.what()), Prefix() + c.Reason);
        }
        EXPECT_EQ(files.Paths(), std::vector<std::string>{PathToUtf8(input)});
    }
}

TEST(FileFaults, EveryFailingCallOfTheAnalyzerEndsInTheResult) {
    const TBytes file = LargeFile();
    for (const bool andAfter : {false, true}) {
        for (std::size_t call = 1;; ++call) {
            SCOPED_TRACE(testing::Message() << "call " << call << (andAfter ? " and after" : ""));
            TMemoryFileSystem files;
            files.Write(input, file);
            files.FailCall(call, std::errc::io_error, andAfter);
            const TBitDepthResult result =
                TTIFFBitDepthAnalyzer(files).AnalyzeBitDepth(input, TAnalysisMode::amPrecise);
            EXPECT_EQ(files.OpenFiles(), 0);
            if (result.Error.empty()) {
                EXPECT_TRUE(result.IsActually16Bit);
                break;
            }
            EXPECT_FALSE(result.IsActually8Bit || result.IsActually16Bit);
            EXPECT_TRUE(result.Error == "Не удалось открыть файл: " + PathToUtf8(input) ||
                        result.Error == "Ошибка при анализе: Не удалось прочитать файл " + PathToUtf8(input) +
                                            ": Ошибка ввода-вывода")
                << result.Error;
        }
    }
}

TEST(FileFaults, AFileShortenedDuringTheAnalysisIsAnError) {
    TTempDir dir;
    WriteFile(dir / "scan.tif", LargeFile(3000)); // far more than the readers read ahead
    std::error_code refused;                      // Windows lets no one shorten a file the analyzer holds open
    const TBitDepthResult result = TTIFFBitDepthAnalyzer().AnalyzeBitDepthWithProgress(
        dir / "scan.tif", TAnalysisMode::amPrecise, [&](int) { fs::resize_file(dir / "scan.tif", 1000, refused); });
    if (refused) {
        EXPECT_EQ(result.Error, "");
        return;
    }
    EXPECT_EQ(result.Error, "Ошибка при анализе: Файл стал короче во время чтения: " + PathToUtf8(dir / "scan.tif"));
    EXPECT_FALSE(result.IsActually8Bit || result.IsActually16Bit);
}

} // namespace
} // namespace kvaderon

namespace kvaderon {
namespace {

TEST(PositivePermissions, TheInputsReadWriteExecuteBitsPlusTheOwnersLessTheUmask) {
    const struct {
        std::uint32_t Input;
        std::uint32_t Umask;
        std::uint32_t Positive;
    } cases[] = {
        {06777, 077, 0700}, {06777, 0, 0777},  {01755, 022, 0755}, {0444, 0, 0644},
        {0444, 022, 0644},  {0640, 027, 0640}, {0000, 0, 0600},    {04711, 0, 0711},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << c.Input << " under umask " << c.Umask);
        test::TMemoryFileSystem files;
        files.Write(input, RgbImage().Build());
        files.Node(input).Permissions = c.Input;
        files.Umask = c.Umask;
        TTIFFInverterSingle(files).InvertTIFF16Bit(input, target, true);
        EXPECT_EQ(files.Node(target).Permissions, c.Positive);
    }
}

} // namespace
} // namespace kvaderon
