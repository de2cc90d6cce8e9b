// The files a run works on: paths chosen, dropped or named on a command line, where a folder
// stands for every TIFF file under it; and where each one's positive goes.
#pragma once

#include "platform/FileIO.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kvaderon {

struct TInputFile {
    std::filesystem::path Path;
    // The folder of Path below the folder that was chosen; empty for a file chosen by itself and
    // for one lying in the chosen folder itself.
    std::filesystem::path Subfolder;
    bool operator==(const TInputFile&) const = default;
};

// A name ending in ".tif" or ".tiff", in any letter case.
bool IsTiffFileName(const std::filesystem::path& APath);

// The paths in their order, each folder among them replaced by the TIFF files under it at any
// depth, sorted by path; hidden entries and symbolic links to folders are left out. A path that is
// not a folder stays as it is, whatever its name, for the run to accept or refuse. A folder that
// cannot be read raises platform::ESystemError naming it.
std::vector<TInputFile> ExpandInputPaths(const std::vector<std::filesystem::path>& APaths,
                                         platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// How many different folders the files lie in.
std::size_t CountFolders(const std::vector<TInputFile>& AFiles);

// Where the positive of AInput goes: its subfolder under AOutputFolder, under its own name, or
// with APrefix and APostfix when that folder is the input's own (TargetPathFor).
std::filesystem::path TargetPathOf(const TInputFile& AInput, const std::filesystem::path& AOutputFolder,
                                   const std::string& APrefix, const std::string& APostfix);

// Creates the destination folder of a run and its missing parents. True when a folder is there
// afterwards; a failure to create it raises platform::ESystemError.
bool CreateOutputFolder(const std::filesystem::path& AFolder,
                        platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// Both front-ends' refusal of a destination folder that cannot be made or is not a folder.
constexpr const char* InvalidOutputFolderText = "Неверная папка для сохранения";

// Creates the folder of ATarget when AInput lies in a subfolder (the destination itself is the
// caller's); failures raise platform::ESystemError.
void CreateTargetFolder(const TInputFile& AInput, const std::filesystem::path& ATarget,
                        platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

} // namespace kvaderon
