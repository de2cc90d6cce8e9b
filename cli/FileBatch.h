// Inverts a list of files on several threads and hands their outcomes back in list order.
#pragma once

#include "TiffInverterSingleThread.h"

#include <condition_variable>
#include <ctime>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kvaderon::cli {

struct TFileTask {
    std::filesystem::path Input;
    std::filesystem::path Target;
    // Input's folder below a chosen folder: Target's folder is made when missing.
    std::filesystem::path Subfolder;
};

struct TOutcomeLineData {
    std::time_t Time = 0;
    std::string FileName;
    std::string Message;
    bool IsError = false;
};

enum class TFileOutcome { foProcessed, foSkipped, foError };

struct TFileReport {
    std::vector<TOutcomeLineData> Lines; // in the order they were decided
    TFileOutcome Outcome = TFileOutcome::foProcessed;
    bool Overwritten = false;       // an existing target was replaced
    bool Refused = false;           // an error that is the input's own fault (EInputRefused)
    std::string Reason;             // of an error
    bool Retry = false;             // an error a later run may mend (an I/O error, a full disk, a lock)
    std::vector<std::string> Notes; // of a processed file: thumbnails left as they were
    TInversionResult Result;        // of a processed file
    double Seconds = 0;
};

// An existing target is skipped, or with AOptions.Overwrite overwritten; AOptions' Verify and Hash
// apply to every file. Files that share an input or a target path with an earlier file (paths
// compared without regard to letter case, as some file systems do) wait for it, so the result is
// that of one file after the other whatever the number of threads.
class TFileBatch {
public:
    // Works on the files of AFileSystem. AInvertPreviews: each file's uncompressed thumbnails are
    // inverted too.
    TFileBatch(kvaderon::platform::TFileSystem& AFileSystem, std::vector<TFileTask> ATasks,
               const TInversionOptions& AOptions, unsigned AJobs, bool AInvertPreviews = false);

    // Calls AOnReport on the calling thread with each file's index and report, in list order.
    // When AOnReport returns false no further file is started, and Run returns once the files
    // in work are done. A thread that cannot be started means fewer workers. Returns the count of
    // files started.
    std::size_t Run(const std::function<bool(std::size_t, const TFileReport&)>& AOnReport);

private:
    void Work();
    TFileReport ProcessFile(TTIFFInverterSingle& AInverter, const TFileTask& ATask) const;
    TFileReport InvertFile(TTIFFInverterSingle& AInverter, const TFileTask& ATask) const;

    kvaderon::platform::TFileSystem& FFileSystem;
    std::vector<TFileTask> FTasks;
    std::vector<std::vector<std::size_t>> FWaitFor; // earlier files that touch the same paths
    TInversionOptions FOptions;
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
