// Inverts a list of files on several threads and hands their outcomes back in list order.
#pragma once

#include "FileStep.h"

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <vector>

namespace kvaderon::cli {

using TFileTask = kvaderon::TRunEntry;
using kvaderon::TFileOutcome;
using kvaderon::TFileReport;
using kvaderon::TOutcomeLineData;

// Each file goes through InvertRunEntry with AStep. Files that share an input or a target path with an earlier file
// (paths compared without regard to letter case, as some file systems do) wait for it, so the result is that of one
// file after the other whatever the number of threads.
class TFileBatch {
public:
    // Works on the files of AFileSystem. AInvertPreviews: each file's uncompressed thumbnails are
    // inverted too.
    TFileBatch(kvaderon::platform::TFileSystem& AFileSystem, std::vector<TFileTask> ATasks, TFileStep AStep,
               unsigned AJobs, bool AInvertPreviews = false);

    // Calls AOnReport on the calling thread with each file's index and report, in list order.
    // When AOnReport returns false no further file is started, and Run returns once the files
    // in work are done. A thread that cannot be started means fewer workers. Returns the count of
    // files started.
    std::size_t Run(const std::function<bool(std::size_t, const TFileReport&)>& AOnReport);

private:
    void Work();

    kvaderon::platform::TFileSystem& FFileSystem;
    std::vector<TFileTask> FTasks;
    std::vector<std::vector<std::size_t>> FWaitFor; // earlier files that touch the same paths
    TFileStep FStep;
    bool FInvertPreviews;
    unsigned FJobs;

    std::mutex FLock;
    std::condition_variable FChanged;
    std::size_t FNextTask = 0;
    bool FStopped = false;
    std::vector<bool> FDone;
    std::vector<TFileReport> FReports;
};

} // namespace kvaderon::cli
