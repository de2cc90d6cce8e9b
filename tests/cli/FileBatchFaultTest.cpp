// The command line's batch on an in-memory file system that fails its n-th call.
#include "CliTestSupport.h"
#include "FaultLoop.h"
#include "FileBatch.h"
#include "MemoryFileSystem.h"
#include "PathText.h"
#include "platform/SystemError.h"

namespace kvaderon::cli {
namespace {

using namespace test;

class FileBatchFaults : public TCliTest {};

// Three files on two threads: one new target, one that exists, one in a subfolder to be made.
TEST_F(FileBatchFaults, EveryFailingCallEndsInReportsInListOrderAndWholeOrUntouchedTargets) {
    const std::vector<TFileTask> tasks = {
        {"/scans/a.tif", "/out/a.tif", {}},
        {"/scans/b.tif", "/out/b.tif", {}},
        {"/scans/sub/c.tif", "/out/sub/c.tif", {}},
    };
    const std::size_t existing = 1;
    const TBytes old = {'o', 'l', 'd'};
    std::vector<TBytes> inputs;
    std::vector<TBytes> positives;
    for (std::uint16_t i = 0; i < tasks.size(); ++i) {
        inputs.push_back(BuildImage(Image(i + 1)).Build());
        positives.push_back(Positive(Image(i + 1)));
    }
    for (const bool overwrite : {true, false}) {
        for (const TFault fault : Faults) {
            for (std::size_t call = 1;; ++call) {
                SCOPED_TRACE(testing::Message() << "call " << call << (fault.AndAfter ? " and after" : "")
                                                << (overwrite ? ", overwrite" : ", skip"));
                TMemoryFileSystem files;
                for (std::size_t i = 0; i < tasks.size(); ++i)
                    files.Write(tasks[i].Input, inputs[i]);
                files.Write(tasks[existing].Target, old);
                files.FailCall(call, fault.Error, fault.AndAfter);
                TFileStep step;
                step.AskExistingTarget = [overwrite](const std::filesystem::path&) {
                    return overwrite ? TExistingTargetChoice::etcOverwriteAll : TExistingTargetChoice::etcKeepExisting;
                };
                std::vector<std::size_t> order;
                std::vector<TFileReport> reports;
                TFileBatch(files, tasks, step, 2).Run([&](std::size_t AIndex, const TFileReport& AReport) {
                    order.push_back(AIndex);
                    reports.push_back(AReport);
                    return true;
                });
                ASSERT_EQ(order, (std::vector<std::size_t>{0, 1, 2}));

                std::vector<std::string> kept;
                std::vector<std::string> errors;
                for (std::size_t i = 0; i < tasks.size(); ++i) {
                    const TFileReport& report = reports[i];
                    EXPECT_EQ(files.Node(tasks[i].Input).Bytes, inputs[i]);
                    kept.push_back(PathToUtf8(tasks[i].Input));
                    if (files.Exists(tasks[i].Target))
                        kept.push_back(PathToUtf8(tasks[i].Target));
                    ASSERT_FALSE(report.Lines.empty()) << i;
                    if (report.Outcome == TFileOutcome::foProcessed) {
                        EXPECT_EQ(files.Node(tasks[i].Target).Bytes, positives[i]) << i;
                        EXPECT_EQ(report.Overwritten, i == existing) << i;
                        continue;
                    }
                    if (i == existing) {
                        EXPECT_EQ(files.Node(tasks[i].Target).Bytes, old);
                    } else {
                        EXPECT_FALSE(files.Exists(tasks[i].Target)) << i;
                    }
                    if (report.Outcome == TFileOutcome::foSkipped) {
                        EXPECT_TRUE(i == existing && !overwrite) << i;
                        continue;
                    }
                    errors.push_back(report.Reason);
                    EXPECT_TRUE(report.Lines.back().IsError) << i;
                    EXPECT_TRUE(report.Retry) << "a failing disk is worth a retry: " << report.Reason;
                    EXPECT_NE(report.Reason.find(platform::SystemErrorText(std::make_error_code(fault.Error))),
                              std::string::npos)
                        << report.Reason;
                }
                ExpectOnlyNamedTemporaryFilesLeft(files, kept, errors);
                EXPECT_EQ(files.OpenFiles(), 0);
                if (errors.empty()) {
                    EXPECT_GT(call, 20u) << "too few calls for three files";
                    break;
                }
            }
        }
    }
}

} // namespace
} // namespace kvaderon::cli
