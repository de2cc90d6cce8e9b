#include "TargetPath.h"

#include "PathText.h"

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

fs::path NormalFolder(const fs::path& AFolder) {
    std::error_code error;
    fs::path folder = fs::weakly_canonical(fs::absolute(AFolder, error), error);
    if (error)
        folder = fs::absolute(AFolder, error).lexically_normal();
    if (!folder.has_filename() && folder.has_relative_path())
        folder = folder.parent_path();
    return folder;
}

} // namespace

fs::path BuildTargetPath(const fs::path& AInputFile, const fs::path& AOutputFolder, bool AAddPrefixAndPostfix,
                         const std::string& APrefix, const std::string& APostfix) {
    std::string name = PathToUtf8(AInputFile.filename());
    if (AAddPrefixAndPostfix) {
        const auto dot = name.rfind('.');
        if (dot != std::string::npos)
            name.erase(dot);
        name = APrefix + name + APostfix + ".tif";
    }
    return AOutputFolder / Utf8ToPath(name);
}

bool IsSameFolder(const fs::path& AFirst, const fs::path& ASecond) {
    std::error_code error;
    if (fs::equivalent(AFirst, ASecond, error) && !error)
        return true;
    return NormalFolder(AFirst) == NormalFolder(ASecond);
}

} // namespace kvaderon
