#include "InputFiles.h"

#include "PathText.h"
#include "TargetPath.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <set>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

struct TFolderWalk {
    fs::path Named; // the folder named
    const fs::path& Excluded;
    platform::TFileSystem& FileSystem;
    bool KeepErrors; // a folder that cannot be read is an entry; otherwise its error is raised
    std::vector<TInputFile>& Files;

    // Adds the TIFF files under AFolder; links to folders are never followed, so no loop can form.
    void Add(const fs::path& AFolder, const fs::path& ASubfolder) {
        std::vector<platform::TFolderEntry> entries;
        try {
            entries = FileSystem.ListFolder(AFolder);
        } catch (const platform::ESystemError& error) {
            if (!KeepErrors)
                throw;
            Files.push_back({AFolder, ASubfolder, Named, error.what()});
            return;
        }
        std::sort(entries.begin(), entries.end(),
                  [](const platform::TFolderEntry& A, const platform::TFolderEntry& B) { return A.Path < B.Path; });
        for (const platform::TFolderEntry& entry : entries) {
            if (entry.Hidden)
                continue;
            if (entry.Kind == platform::TEntryKind::ekFolder) {
                if (Excluded.empty() || !IsSameFolder(entry.Path, Excluded, FileSystem))
                    Add(entry.Path, ASubfolder / entry.Path.filename());
            } else if (entry.Kind == platform::TEntryKind::ekFile && IsTiffFileName(entry.Path)) {
                Files.push_back({entry.Path, ASubfolder, Named, {}});
            }
        }
    }
};

} // namespace

bool IsTiffFileName(const fs::path& APath) {
    std::string extension = PathToUtf8(APath.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char ALetter) {
        return char(ALetter >= 'A' && ALetter <= 'Z' ? ALetter + 32 : ALetter);
    });
    return extension == ".tif" || extension == ".tiff";
}

namespace {

std::vector<TInputFile> WalkInputPaths(const std::vector<fs::path>& APaths, const fs::path& AExcluded,
                                       platform::TFileSystem& AFileSystem, bool AKeepErrors) {
    std::vector<TInputFile> files;
    for (const fs::path& path : APaths) {
        if (!AFileSystem.IsFolder(path)) {
            files.push_back({path, {}, {}, {}});
            continue;
        }
        const std::size_t before = files.size();
        TFolderWalk{path, AExcluded, AFileSystem, AKeepErrors, files}.Add(path, {});
        if (files.size() == before && AKeepErrors)
            files.push_back({path, {}, path, NoTiffFilesText + PathToUtf8(path)});
    }
    return files;
}

} // namespace

std::vector<TInputFile> FindInputFiles(const std::vector<fs::path>& APaths, const fs::path& AExcluded,
                                       platform::TFileSystem& AFileSystem) {
    return WalkInputPaths(APaths, AExcluded, AFileSystem, true);
}

std::vector<TInputFile> ExpandInputPaths(const std::vector<fs::path>& APaths, platform::TFileSystem& AFileSystem) {
    return WalkInputPaths(APaths, {}, AFileSystem, false);
}

std::size_t CountFolders(const std::vector<TInputFile>& AFiles) {
    std::set<fs::path> folders;
    for (const TInputFile& file : AFiles)
        folders.insert(file.Path.parent_path());
    return folders.size();
}

bool CreateOutputFolder(const fs::path& AFolder, platform::TFileSystem& AFileSystem) {
    AFileSystem.CreateFolders(AFolder);
    return AFileSystem.IsFolder(AFolder);
}

} // namespace kvaderon
