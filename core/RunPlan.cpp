#include "RunPlan.h"

#include "PathText.h"
#include "TargetPath.h"

#include <map>
#include <set>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

// The last name of a folder however it was spelled ("roll/", "roll/.", a link's own name kept).
fs::path FolderName(const fs::path& AFolder, platform::TFileSystem& AFileSystem) {
    fs::path folder = AFolder.lexically_normal();
    if (!folder.has_filename() && folder.has_relative_path())
        folder = folder.parent_path();
    if (folder.filename() == "." || folder.filename() == ".." || !folder.has_filename())
        folder = AFileSystem.ResolvedPath(AFolder);
    return folder.filename();
}

// The folder a named folder's files go to, and whether that is the named folder itself.
struct TFolderTarget {
    fs::path Base;
    bool Itself = false;
};

class TRunPlanner {
public:
    TRunPlanner(const fs::path& AOutputFolder, const std::string& APrefix, const std::string& APostfix,
                platform::TFileSystem& AFileSystem)
        : FOutputFolder(AOutputFolder), FPrefix(APrefix), FPostfix(APostfix), FFileSystem(AFileSystem) {}

    std::vector<TRunEntry> Plan(const std::vector<TInputFile>& AFound) {
        TakeFiles(AFound);
        LeaveOutOwnPositives();
        MarkSharedTargets();
        std::vector<TRunEntry> entries;
        for (const TPlanned& planned : FPlanned)
            if (!planned.LeftOut)
                entries.push_back(planned.Entry);
        return entries;
    }

private:
    struct TPlanned {
        TRunEntry Entry;
        std::string InputKey, TargetKey;
        bool InOwnFolder = false; // found by a walk of the destination itself
        bool LeftOut = false;
    };

    const TFolderTarget& TargetOf(const fs::path& AFolder) {
        auto found = FFolders.find(AFolder);
        if (found == FFolders.end()) {
            TFolderTarget target{FOutputFolder, IsSameFolder(AFolder, FOutputFolder, FFileSystem)};
            if (!target.Itself)
                target.Base /= FolderName(AFolder, FFileSystem);
            found = FFolders.emplace(AFolder, target).first;
        }
        return found->second;
    }

    bool IsInOutputFolder(const std::string& AInputKey) {
        if (FOutputKey.empty())
            FOutputKey = PathComparisonKey(FOutputFolder, FFileSystem) + char(fs::path::preferred_separator);
        return AInputKey.rfind(FOutputKey, 0) == 0;
    }

    void TakeFiles(const std::vector<TInputFile>& AFound) {
        std::set<fs::path> inputs;
        for (const TInputFile& file : AFound) {
            if (!file.Error.empty()) {
                FPlanned.push_back({{file.Path, {}, file.Error}, {}, {}, false, false});
                continue;
            }
            // The same spelling twice is one file; a link to it is a name of its own.
            if (!inputs.insert(fs::absolute(file.Path).lexically_normal()).second)
                continue;
            TPlanned planned;
            planned.InputKey = PathComparisonKey(file.Path, FFileSystem);
            fs::path folder = FOutputFolder;
            if (!file.Folder.empty()) {
                const TFolderTarget& target = TargetOf(file.Folder);
                if (!target.Itself && IsInOutputFolder(planned.InputKey))
                    continue; // output of this run or an earlier one, found by a walk made before
                folder = target.Base;
                planned.InOwnFolder = target.Itself;
            }
            if (!file.Subfolder.empty())
                folder /= file.Subfolder;
            planned.Entry = {file.Path, TargetPathFor(file.Path, folder, FPrefix, FPostfix, FFileSystem), {}};
            planned.TargetKey = PathComparisonKey(planned.Entry.Target, FFileSystem);
            FPlanned.push_back(std::move(planned));
        }
    }

    // A file found beside its negative under the name of that negative's positive is output.
    void LeaveOutOwnPositives() {
        std::map<std::string, std::size_t> positives;
        for (std::size_t i = 0; i < FPlanned.size(); ++i)
            if (FPlanned[i].InOwnFolder)
                positives.emplace(FPlanned[i].TargetKey, i);
        for (std::size_t i = 0; i < FPlanned.size(); ++i) {
            const auto positive = positives.find(FPlanned[i].InputKey);
            FPlanned[i].LeftOut = FPlanned[i].InOwnFolder && positive != positives.end() && positive->second != i;
        }
    }

    void MarkSharedTargets() {
        std::map<std::string, std::size_t> inputs;
        std::map<std::string, std::vector<std::size_t>> targets;
        for (std::size_t i = 0; i < FPlanned.size(); ++i) {
            if (FPlanned[i].LeftOut || !FPlanned[i].Entry.Error.empty())
                continue;
            inputs.emplace(FPlanned[i].InputKey, i);
            targets[FPlanned[i].TargetKey].push_back(i);
        }
        std::vector<std::size_t> other(FPlanned.size(), FPlanned.size());
        const auto mark = [&](std::size_t AFile, std::size_t AOther) {
            if (other[AFile] == FPlanned.size())
                other[AFile] = AOther;
        };
        for (const auto& [key, files] : targets) {
            for (std::size_t i = 0; i < files.size(); ++i)
                if (files.size() > 1)
                    mark(files[i], files[i == 0 ? 1 : 0]);
            const auto input = inputs.find(key);
            if (input == inputs.end())
                continue;
            for (const std::size_t file : files) {
                if (file == input->second)
                    continue; // the file itself: the inverter refuses it as such
                mark(file, input->second);
                mark(input->second, file);
            }
        }
        for (std::size_t i = 0; i < FPlanned.size(); ++i)
            if (other[i] != FPlanned.size())
                FPlanned[i].Entry.Error = SharedTargetText + PathToUtf8(FPlanned[other[i]].Entry.Input);
    }

    fs::path FOutputFolder;
    std::string FPrefix, FPostfix;
    platform::TFileSystem& FFileSystem;
    std::map<fs::path, TFolderTarget> FFolders;
    std::string FOutputKey; // PathComparisonKey with a trailing separator
    std::vector<TPlanned> FPlanned;
};

} // namespace

std::vector<TRunEntry> PlanFoundFiles(const std::vector<TInputFile>& AFiles, const fs::path& AOutputFolder,
                                      const std::string& APrefix, const std::string& APostfix,
                                      platform::TFileSystem& AFileSystem) {
    return TRunPlanner(AOutputFolder, APrefix, APostfix, AFileSystem).Plan(AFiles);
}

std::vector<TRunEntry> PlanRun(const std::vector<fs::path>& APaths, const fs::path& AOutputFolder,
                               const std::string& APrefix, const std::string& APostfix,
                               platform::TFileSystem& AFileSystem) {
    return PlanFoundFiles(FindInputFiles(APaths, AOutputFolder, AFileSystem), AOutputFolder, APrefix, APostfix,
                          AFileSystem);
}

} // namespace kvaderon
