// The plan of a batch run: where each file's positive goes, or why the file is not inverted,
// decided for the whole run before its first file is written. The window's batch, the command
// line's invert, its dry run and verify all take their files from here.
#pragma once

#include "InputFiles.h"
#include "platform/FileIO.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kvaderon {

struct TRunEntry {
    std::filesystem::path Input; // a file; for a folder's error, that folder
    std::filesystem::path Target;
    // Why the entry is not inverted (the line the run shows for it); empty for a file to invert.
    std::string Error;
    bool operator==(const TRunEntry&) const = default;
};

// The start of the error of a file whose target is another input of the run, or the target of
// another input too; the other file's path follows.
constexpr const char* SharedTargetText = "Цель совпадает с другим файлом этого запуска: ";

// The entries of a run over APaths (FindInputFiles, the destination left out of every walk) in
// list order, a file named twice once. A file named by itself goes to AOutputFolder; a file found
// in a named folder goes to AOutputFolder / that folder's name / its subfolder, as a recursive
// copy puts it, unless AOutputFolder is the named folder itself: then it lies beside its negative
// (TargetPathFor names it). A walk into the destination itself leaves out the files
// that are this run's positives of other files found there, so a run repeated finds its own
// positives as existing targets, never as negatives. A target that is another input, or that two
// inputs share (names that differ only in letter case included), is each such file's error naming
// the other file.
std::vector<TRunEntry> PlanRun(const std::vector<std::filesystem::path>& APaths,
                               const std::filesystem::path& AOutputFolder, const std::string& APrefix,
                               const std::string& APostfix,
                               platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// PlanRun for files found before (a window's list, made when its folders were chosen): files
// found in a named folder that lie in the destination below it are left out here.
std::vector<TRunEntry> PlanFoundFiles(const std::vector<TInputFile>& AFiles, const std::filesystem::path& AOutputFolder,
                                      const std::string& APrefix, const std::string& APostfix,
                                      platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

} // namespace kvaderon
