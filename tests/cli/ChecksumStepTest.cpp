// With checksums a file is done only when its line is in SHA256SUMS: runs on an in-memory file
// system that fails its n-th call, each followed by a run over what the first one left.
#include "ChecksumList.h"
#include "CliTestSupport.h"
#include "FaultLoop.h"
#include "FileBatch.h"
#include "MemoryFileSystem.h"
#include "RunJson.h"

namespace kvaderon::cli {
namespace {

using namespace test;

const TFileTask task = {"/scans/a.tif", "/out/a.tif", {}};
const char* const keptText = "Пропущен: файл назначения уже существует";

class ChecksumStep : public TCliTest {
protected:
    struct TRun {
        TFileReport Report;
        int ExitStatus = 0;
    };

    // The command line's run over the one task, an existing target kept.
    static TRun Run(TMemoryFileSystem& AFiles) {
        TFileStep step;
        step.Checksums = true;
        step.AskExistingTarget = [](const std::filesystem::path&) { return TExistingTargetChoice::etcKeepExisting; };
        TRun run;
        TInvertTotals totals;
        TFileBatch(AFiles, {task}, step, 1).Run([&](std::size_t, const TFileReport& AReport) {
            run.Report = AReport;
            totals.Add(AReport);
            return true;
        });
        run.ExitStatus = totals.Status.Code();
        return run;
    }

    static std::string List(TMemoryFileSystem& AFiles) {
        if (!AFiles.Exists("/out/SHA256SUMS"))
            return {};
        const TBytes& bytes = AFiles.Node("/out/SHA256SUMS").Bytes;
        return {bytes.begin(), bytes.end()};
    }

    static std::string Sha256(const TBytes& ABytes) {
        platform::TSha256 hash;
        hash.Update(ABytes.data(), ABytes.size());
        return hash.FinishHex();
    }
};

TEST_F(ChecksumStep, AFileWithoutItsLineIsAnErrorUntilARunProvesItAndAddsTheLine) {
    const TBytes negative = BuildImage(Image(1)).Build();
    const TBytes positive = Positive(Image(1));
    const std::string line = ChecksumLine("a.tif", Sha256(positive));
    bool positiveWithoutLine = false;
    for (const TFault fault : Faults) {
        for (std::size_t call = 1;; ++call) {
            SCOPED_TRACE(testing::Message() << "call " << call << (fault.AndAfter ? " and after" : ""));
            TMemoryFileSystem files;
            files.Write(task.Input, negative);
            files.FailCall(call, fault.Error, fault.AndAfter);
            const TRun first = Run(files);
            files.FailCall(0, fault.Error);
            const bool written = files.Exists(task.Target) && files.Node(task.Target).Bytes == positive;
            if (first.Report.Outcome == TFileOutcome::foProcessed) {
                EXPECT_EQ(List(files), line);
                EXPECT_EQ(first.ExitStatus, 0);
                EXPECT_GT(call, 10u) << "too few calls for one file and its line";
                break;
            }
            ASSERT_EQ(first.Report.Outcome, TFileOutcome::foError);
            ASSERT_EQ(first.Report.Lines.size(), 1u) << "no line may claim success";
            EXPECT_TRUE(first.Report.Lines[0].IsError);
            EXPECT_TRUE(first.Report.Retry) << first.Report.Reason;
            EXPECT_EQ(first.ExitStatus, 3);
            const bool lineWritten = List(files) == line;
            positiveWithoutLine = positiveWithoutLine || (written && !lineWritten);

            const TRun second = Run(files);
            EXPECT_EQ(files.Node(task.Target).Bytes, positive);
            EXPECT_EQ(List(files), line);
            EXPECT_EQ(second.ExitStatus, 0) << second.Report.Reason;
            if (!written) {
                EXPECT_EQ(second.Report.Outcome, TFileOutcome::foProcessed);
                continue;
            }
            EXPECT_EQ(second.Report.Outcome, TFileOutcome::foSkipped);
            ASSERT_EQ(second.Report.Lines.size(), 1u);
            EXPECT_EQ(second.Report.Lines[0].Message,
                      lineWritten ? std::string(keptText) : keptText + std::string("; ") + ChecksumLineAddedText);
        }
    }
    EXPECT_TRUE(positiveWithoutLine) << "no call failed between the rename and the line";
}

TEST_F(ChecksumStep, AKeptTargetWithoutItsLineGetsItOnlyWhenItIsTheInversion) {
    const TBytes negative = BuildImage(Image(1)).Build();
    TImageLayout other = Image(1);
    other.Samples[3] ^= 1;
    const struct {
        const char* Name;
        TBytes Target;
        bool Holds;
    } cases[] = {
        {"the positive", Positive(Image(1)), true},
        {"one sample changed", Positive(other), false},
        {"the negative copied", negative, false},
        {"cut short", TBytes(negative.begin(), negative.end() - 2), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryFileSystem files;
        files.Write(task.Input, negative);
        files.Write(task.Target, c.Target);
        const TRun run = Run(files);
        EXPECT_EQ(files.Node(task.Target).Bytes, c.Target);
        if (c.Holds) {
            EXPECT_EQ(run.Report.Outcome, TFileOutcome::foSkipped);
            EXPECT_EQ(run.Report.Lines.back().Message, keptText + std::string("; ") + ChecksumLineAddedText);
            EXPECT_EQ(run.Report.Notes, std::vector<std::string>{ChecksumLineAddedText});
            EXPECT_EQ(List(files), ChecksumLine("a.tif", Sha256(c.Target)));
            EXPECT_EQ(run.ExitStatus, 0);
            continue;
        }
        EXPECT_EQ(run.Report.Outcome, TFileOutcome::foError);
        EXPECT_TRUE(run.Report.Lines.back().IsError);
        EXPECT_EQ(run.Report.Reason.rfind(UnprovenTargetText, 0), 0u) << run.Report.Reason;
        EXPECT_FALSE(run.Report.Retry);
        EXPECT_EQ(List(files), "");
        EXPECT_EQ(run.ExitStatus, 1);
    }
}

// A target that has its line is not read again: the run costs one look into the list.
TEST_F(ChecksumStep, AKeptTargetWithItsLineIsNotCheckedAgain) {
    TMemoryFileSystem files;
    files.Write(task.Input, BuildImage(Image(1)).Build());
    const TBytes tampered = BuildImage(Image(2)).Build();
    files.Write(task.Target, tampered);
    const std::string line = ChecksumLine("a.tif", Sha256(Positive(Image(1))));
    files.Write("/out/SHA256SUMS", TBytes(line.begin(), line.end()));
    const TRun run = Run(files);
    EXPECT_EQ(run.Report.Outcome, TFileOutcome::foSkipped);
    EXPECT_EQ(run.Report.Lines.back().Message, keptText);
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_EQ(files.BytesRead(), line.size());
}

} // namespace
} // namespace kvaderon::cli
