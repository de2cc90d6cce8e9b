#include "InputFiles.h"

#include "PathText.h"
#include "TargetPath.h"

#include <algorithm>
#include <set>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

// Adds the TIFF files under AFolder; links to folders are never followed, so no loop can form.
void AddFolder(const fs::path& AFolder, const fs::path& ASubfolder, platform::TFileSystem& AFileSystem,
               std::vector<TInputFile>& AFiles) {
    std::vector<platform::TFolderEntry> entries = AFileSystem.ListFolder(AFolder);
    std::sort(entries.begin(), entries.end(),
              [](const platform::TFolderEntry& A, const platform::TFolderEntry& B) { return A.Path < B.Path; });
    for (const platform::TFolderEntry& entry : entries) {
        if (entry.Hidden)
            continue;
        if (entry.Kind == platform::TEntryKind::ekFolder)
            AddFolder(entry.Path, ASubfolder / entry.Path.filename(), AFileSystem, AFiles);
        else if (entry.Kind == platform::TEntryKind::ekFile && IsTiffFileName(entry.Path))
            AFiles.push_back({entry.Path, ASubfolder});
    }
}

} // namespace

bool IsTiffFileName(const fs::path& APath) {
    std::string extension = PathToUtf8(APath.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char ALetter) {
        return char(ALetter >= 'A' && ALetter <= 'Z' ? ALetter + 32 : ALetter);
    });
    return extension == ".tif" || extension == ".tiff";
}

std::vector<TInputFile> ExpandInputPaths(const std::vector<fs::path>& APaths, platform::TFileSystem& AFileSystem) {
    std::vector<TInputFile> files;
    for (const fs::path& path : APaths) {
        if (!AFileSystem.IsFolder(path)) {
            files.push_back({path, {}});
            continue;
        }
        AddFolder(path, {}, AFileSystem, files);
    }
    return files;
}

std::size_t CountFolders(const std::vector<TInputFile>& AFiles) {
    std::set<fs::path> folders;
    for (const TInputFile& file : AFiles)
        folders.insert(file.Path.parent_path());
    return folders.size();
}

fs::path TargetPathOf(const TInputFile& AInput, const fs::path& AOutputFolder, const std::string& APrefix,
                      const std::string& APostfix) {
    const fs::path targetFolder = AInput.Subfolder.empty() ? AOutputFolder : AOutputFolder / AInput.Subfolder;
    return TargetPathFor(AInput.Path, targetFolder, APrefix, APostfix);
}

bool CreateOutputFolder(const fs::path& AFolder, platform::TFileSystem& AFileSystem) {
    AFileSystem.CreateFolders(AFolder);
    return AFileSystem.IsFolder(AFolder);
}

void CreateTargetFolder(const TInputFile& AInput, const fs::path& ATarget, platform::TFileSystem& AFileSystem) {
    if (!AInput.Subfolder.empty() && !AFileSystem.IsFolder(ATarget.parent_path()))
        AFileSystem.CreateFolders(ATarget.parent_path());
}

} // namespace kvaderon
