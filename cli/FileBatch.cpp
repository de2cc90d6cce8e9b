#include "FileBatch.h"

#include "CommonTypes.h"
#include "InputFiles.h"
#include "OutcomeLine.h"
#include "PathText.h"
#include "RetryableFailure.h"
#include "TargetPath.h"
#include "TiffInverterSingleThread.h"
#include "Verification.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <system_error>
#include <thread>

namespace kvaderon::cli {

namespace fs = std::filesystem;

namespace {

TOutcomeLineData Line(const fs::path& AFile, std::string AMessage, bool AIsError) {
    return {std::time(nullptr), PathToUtf8(AFile.filename()), std::move(AMessage), AIsError};
}

// The error line of the input, after the lines decided before it.
void RecordError(TFileReport& AReport, const TFileTask& ATask, const std::exception& AError) {
    AReport.Lines.push_back(Line(ATask.Input, AError.what(), true));
    AReport.Outcome = TFileOutcome::foError;
    AReport.Refused = dynamic_cast<const EInputRefused*>(&AError) != nullptr;
    AReport.Reason = AError.what();
    AReport.Retry = IsRetryableFailure(AError);
}

} // namespace

TFileBatch::TFileBatch(kvaderon::platform::TFileSystem& AFileSystem, std::vector<TFileTask> ATasks,
                       const TInversionOptions& AOptions, unsigned AJobs, bool AInvertPreviews)
    : FFileSystem(AFileSystem), FTasks(std::move(ATasks)), FWaitFor(FTasks.size()), FOptions(AOptions),
      FInvertPreviews(AInvertPreviews),
      FJobs(std::max(1u, std::min<unsigned>(AJobs, unsigned(std::max<std::size_t>(FTasks.size(), 1))))),
      FDone(FTasks.size(), false), FReports(FTasks.size()) {
    // Waiting for the latest earlier file on each path is enough: that one waits for the rest.
    std::map<std::string, std::size_t> lastUse;
    for (std::size_t i = 0; i < FTasks.size(); ++i) {
        for (const auto& key :
             {PathComparisonKey(FTasks[i].Input, FFileSystem), PathComparisonKey(FTasks[i].Target, FFileSystem)}) {
            const auto [entry, isNew] = lastUse.try_emplace(key, i);
            if (!isNew && entry->second != i) {
                FWaitFor[i].push_back(entry->second);
                entry->second = i;
            }
        }
    }
}

std::size_t TFileBatch::Run(const std::function<bool(std::size_t, const TFileReport&)>& AOnReport) {
    std::vector<std::thread> workers;
    try {
        for (unsigned i = 0; i < FJobs; ++i)
            workers.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // Fewer workers; with none at all, this thread does the work before it reports.
    }
    if (workers.empty())
        Work();
    for (std::size_t i = 0; i < FTasks.size(); ++i) {
        TFileReport report;
        {
            std::unique_lock lock(FLock);
            FChanged.wait(lock, [&] { return bool(FDone[i]); });
            report = std::move(FReports[i]);
        }
        if (!AOnReport(i, report)) {
            const std::lock_guard lock(FLock);
            FStopped = true;
            break;
        }
    }
    for (auto& worker : workers)
        worker.join();
    return FNextTask;
}

// Files are taken in list order, so every file waited for is already taken by another thread.
void TFileBatch::Work() {
    TTIFFInverterSingle inverter(FFileSystem);
    inverter.SetInvertPreviews(FInvertPreviews);
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock lock(FLock);
            if (FStopped || FNextTask >= FTasks.size())
                return;
            index = FNextTask++;
            FChanged.wait(lock, [&] {
                return std::all_of(FWaitFor[index].begin(), FWaitFor[index].end(),
                                   [&](std::size_t AEarlier) { return bool(FDone[AEarlier]); });
            });
        }
        TFileReport report = ProcessFile(inverter, FTasks[index]);
        {
            const std::lock_guard lock(FLock);
            FReports[index] = std::move(report);
            FDone[index] = true;
        }
        FChanged.notify_all();
    }
}

// A file system of its own may fail where the system's never does, before InvertFile's own try.
TFileReport TFileBatch::ProcessFile(TTIFFInverterSingle& AInverter, const TFileTask& ATask) const {
    const auto started = std::chrono::steady_clock::now();
    TFileReport report;
    try {
        report = InvertFile(AInverter, ATask);
    } catch (const std::exception& error) {
        RecordError(report, ATask, error);
    }
    report.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return report;
}

TFileReport TFileBatch::InvertFile(TTIFFInverterSingle& AInverter, const TFileTask& ATask) const {
    TFileReport report;
    const bool targetExists = IsOtherExistingFile(ATask.Input, ATask.Target, FFileSystem);
    if (targetExists && !FOptions.Overwrite) {
        report.Lines.push_back(Line(ATask.Target, ExistingTargetMessage(TExistingTargetChoice::etcSkipAll), false));
        report.Outcome = TFileOutcome::foSkipped;
        return report;
    }
    if (targetExists) {
        const std::string message = ExistingTargetMessage(TExistingTargetChoice::etcOverwriteAll);
        report.Lines.push_back(Line(ATask.Target, message, false));
    }
    try {
        CreateTargetFolder({ATask.Input, ATask.Subfolder}, ATask.Target, FFileSystem);
        // Overwriting was chosen only for a target that existed when it was checked.
        TInversionOptions options = FOptions;
        options.Overwrite = targetExists;
        report.Result = AInverter.Invert(ATask.Input, ATask.Target, options);
        // The line of an overwritten file was written before; a check or a thumbnail note is news.
        if (!targetExists || report.Result.Verified || !AInverter.PreviewNotes().empty())
            report.Lines.push_back(
                Line(ATask.Target, SuccessMessage(AInverter.PreviewNotes(), report.Result.Verified), false));
        report.Outcome = TFileOutcome::foProcessed;
        report.Overwritten = targetExists;
        report.Notes = AInverter.PreviewNotes();
    } catch (const std::exception& error) {
        RecordError(report, ATask, error);
    }
    return report;
}

} // namespace kvaderon::cli
