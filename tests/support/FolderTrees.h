// Folder trees as a user drops them: nested folders, hidden entries, links (a loop among them) and
// files that are not TIFF files; one table for the engine and both programs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kvaderon::test {

struct TFolderTree {
    const char* Name;
    std::vector<std::string> Files; // relative paths; a .tif/.tiff name gets a small TIFF of its own
    std::vector<std::pair<std::string, std::string>> Links; // link, and its target relative to the link
    // The TIFF files the tree stands for, relative paths in order.
    std::vector<std::string> Expected;
};

std::vector<TFolderTree> FolderTrees();

// Makes ATree under ARoot; false when the system would not make its links (the case is then to
// be skipped).
bool MakeFolderTree(const std::filesystem::path& ARoot, const TFolderTree& ATree);

} // namespace kvaderon::test
