#include "TargetPath.h"

#include "PathText.h"

namespace kvaderon {

namespace fs = std::filesystem;

fs::path NormalPath(const fs::path& APath) {
    std::error_code error;
    fs::path normal = fs::weakly_canonical(fs::absolute(APath, error), error);
    if (error)
        normal = fs::absolute(APath, error).lexically_normal();
    return normal;
}

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
    const auto withoutTrailingSeparator = [](fs::path AFolder) {
        if (!AFolder.has_filename() && AFolder.has_relative_path())
            AFolder = AFolder.parent_path();
        return AFolder;
    };
    return withoutTrailingSeparator(NormalPath(AFirst)) == withoutTrailingSeparator(NormalPath(ASecond));
}

} // namespace kvaderon
