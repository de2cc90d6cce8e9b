// The files a run works on: paths chosen, dropped or named on a command line, where a folder
// stands for every TIFF file under it.
#pragma once

#include "platform/FileIO.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kvaderon {

struct TInputFile {
    std::filesystem::path Path;
    // The folder of Path below the folder that was named; empty for a file named by itself and
    // for one lying in the named folder itself.
    std::filesystem::path Subfolder;
    // The named folder Path was found in; empty for a file named by itself.
    std::filesystem::path Folder;
    // Not a file but a folder's error line: a folder below a named one that cannot be read, or a
    // named folder without a TIFF file. Path is that folder.
    std::string Error;
    bool operator==(const TInputFile&) const = default;
};

// The start of the error of a named folder without a TIFF file; the folder's path follows.
constexpr const char* NoTiffFilesText = "В папке нет файлов TIFF: ";

// A name ending in ".tif" or ".tiff", in any letter case.
bool IsTiffFileName(const std::filesystem::path& APath);

// The paths in their order, each folder among them replaced by the TIFF files under it at any
// depth, sorted by path; hidden entries, symbolic links to folders and the folder AExcluded (the
// destination of a run, when it lies below a named folder) are left out. A folder that cannot
// be read, or a named folder without a TIFF file, is an entry with its Error in its place, and the
// walk goes on. A path that is not a folder stays as it is, whatever its name, for the run to
// accept or refuse.
std::vector<TInputFile> FindInputFiles(const std::vector<std::filesystem::path>& APaths,
                                       const std::filesystem::path& AExcluded = {},
                                       platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// The files as FindInputFiles finds them with nothing left out: an empty folder adds nothing, and
// the first folder that cannot be read raises platform::ESystemError naming it.
std::vector<TInputFile> ExpandInputPaths(const std::vector<std::filesystem::path>& APaths,
                                         platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// How many different folders the files lie in.
std::size_t CountFolders(const std::vector<TInputFile>& AFiles);

// Creates the destination folder of a run and its missing parents. True when a folder is there
// afterwards; a failure to create it raises platform::ESystemError.
bool CreateOutputFolder(const std::filesystem::path& AFolder,
                        platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// Both front-ends' refusal of a destination folder that cannot be made or is not a folder.
constexpr const char* InvalidOutputFolderText = "Неверная папка для сохранения";

} // namespace kvaderon
