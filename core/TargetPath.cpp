#include "TargetPath.h"

#include "PathText.h"

namespace kvaderon {

namespace fs = std::filesystem;

bool IsNamePart(std::string_view APart) {
    return APart.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos && APart != "." && APart != "..";
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

fs::path TargetPathFor(const fs::path& AInputFile, const fs::path& AOutputFolder, const std::string& APrefix,
                       const std::string& APostfix, platform::TFileSystem& AFileSystem) {
    const fs::path inputFolder = AInputFile.has_parent_path() ? AInputFile.parent_path() : fs::path(".");
    return BuildTargetPath(AInputFile, AOutputFolder, IsSameFolder(inputFolder, AOutputFolder, AFileSystem), APrefix,
                           APostfix);
}

bool IsOtherExistingFile(const fs::path& AInputFile, const fs::path& ATarget, platform::TFileSystem& AFileSystem) {
    return AFileSystem.FileExists(ATarget) && !AFileSystem.IsSameFile(AInputFile, ATarget);
}

bool IsSameFolder(const fs::path& AFirst, const fs::path& ASecond, platform::TFileSystem& AFileSystem) {
    if (AFileSystem.IsSameFile(AFirst, ASecond))
        return true;
    const auto withoutTrailingSeparator = [](fs::path AFolder) {
        if (!AFolder.has_filename() && AFolder.has_relative_path())
            AFolder = AFolder.parent_path();
        return AFolder;
    };
    return withoutTrailingSeparator(AFileSystem.ResolvedPath(AFirst)) ==
           withoutTrailingSeparator(AFileSystem.ResolvedPath(ASecond));
}

namespace {

// Letters of the Latin, Greek and Cyrillic alphabets in lower case; every other byte as it is.
std::string FoldCase(const std::string& AText) {
    std::string folded;
    folded.reserve(AText.size());
    for (std::size_t i = 0; i < AText.size(); ++i) {
        const auto byte = static_cast<unsigned char>(AText[i]);
        if (byte < 0x80) {
            folded += char(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte);
            continue;
        }
        if ((byte & 0xE0) != 0xC0 || i + 1 >= AText.size()) {
            folded += char(byte);
            continue;
        }
        unsigned code = (byte & 0x1Fu) << 6 | (static_cast<unsigned char>(AText[i + 1]) & 0x3Fu);
        if ((code >= 0xC0 && code <= 0xDE && code != 0xD7) || (code >= 0x391 && code <= 0x3AB && code != 0x3A2) ||
            (code >= 0x410 && code <= 0x42F))
            code += 0x20;
        else if (code >= 0x400 && code <= 0x40F)
            code += 0x50;
        folded += char(0xC0 | code >> 6);
        folded += char(0x80 | (code & 0x3F));
        ++i;
    }
    return folded;
}

} // namespace

std::string PathComparisonKey(const std::filesystem::path& APath, platform::TFileSystem& AFileSystem) {
    return FoldCase(PathToUtf8(AFileSystem.ResolvedPath(APath)));
}

} // namespace kvaderon
