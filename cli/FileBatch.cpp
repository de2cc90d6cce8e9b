#include "FileBatch.h"

#include "TargetPath.h"

#include <algorithm>
#include <map>
#include <system_error>
#include <thread>

namespace kvaderon::cli {

TFileBatch::TFileBatch(kvaderon::platform::TFileSystem& AFileSystem, std::vector<TFileTask> ATasks, TFileStep AStep,
                       unsigned AJobs, bool AInvertPreviews)
    : FFileSystem(AFileSystem), FTasks(std::move(ATasks)), FWaitFor(FTasks.size()), FStep(std::move(AStep)),
      FInvertPreviews(AInvertPreviews),
      FJobs(std::max(1u, std::min<unsigned>(AJobs, unsigned(std::max<std::size_t>(FTasks.size(), 1))))),
      FDone(FTasks.size(), false), FReports(FTasks.size()) {
    // Waiting for the latest earlier file on each path is enough: that one waits for the rest.
    std::map<std::string, std::size_t> lastUse;
    for (std::size_t i = 0; i < FTasks.size(); ++i) {
        if (!FTasks[i].Error.empty())
            continue; // touches no file
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
        TFileReport report = InvertRunEntry(inverter, FFileSystem, FTasks[index], FStep);
        {
            const std::lock_guard lock(FLock);
            FReports[index] = std::move(report);
            FDone[index] = true;
        }
        FChanged.notify_all();
    }
}

} // namespace kvaderon::cli
