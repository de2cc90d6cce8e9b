// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace kvaderon::test {

class TTempDir {
public:
    TTempDir() {
        std::random_device random;
        FPath = std::filesystem::temp_directory_path() /
                ("kvaderon-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(FPath);
    }
    ~TTempDir() {
        std::error_code error;
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     error);
        std::filesystem::remove_all(FPath, error);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::filesystem::path operator/(const std::string& AName) const { return FPath / AName; }

    // Names of the files in the folder, sorted.
    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(FPath))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path FPath;
};

} // namespace kvaderon::test
