// Where the inverted copy of an input file goes in the destination folder.
#pragma once

#include "platform/FileIO.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kvaderon {

// The destination folder followed by the input's file name unchanged, or, with
// AAddPrefixAndPostfix (the copy goes to the folder of its source), by APrefix, the name without
// its extension (from its last ".") and APostfix + ".tif". Prefix and postfix are used as given.
std::filesystem::path BuildTargetPath(const std::filesystem::path& AInputFile,
                                      const std::filesystem::path& AOutputFolder, bool AAddPrefixAndPostfix,
                                      const std::string& APrefix, const std::string& APostfix);

// Whether APart may go before or after a name: it holds no path separator ("/", "\\") and no NUL,
// and is not "." or "..", so that the target stays a file in its destination folder.
bool IsNamePart(std::string_view APart);

// Why a prefix or postfix was refused; the command line and the settings dialog say the same.
constexpr const char* NamePartRule =
    "Префикс и постфикс не могут содержать символы \"/\", \"\\\" и нулевой символ и не могут быть \".\" или \"..\"";

// The target of one input file by the naming rule: BuildTargetPath with prefix and postfix when
// the input's own folder is AOutputFolder (IsSameFolder), with the name unchanged otherwise.
std::filesystem::path TargetPathFor(const std::filesystem::path& AInputFile, const std::filesystem::path& AOutputFolder,
                                    const std::string& APrefix, const std::string& APostfix,
                                    platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// Whether ATarget is an existing file other than AInputFile: the one case in which the user is
// asked (or told by a batch-wide answer) to overwrite or skip it. A target that is the input itself
// under any spelling or link is never offered for overwriting; the inverter refuses it.
bool IsOtherExistingFile(const std::filesystem::path& AInputFile, const std::filesystem::path& ATarget,
                         platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// One text for every spelling that may name the same file: the path with links, "." and ".."
// resolved (TFileSystem::ResolvedPath) and the letters of the Latin, Greek and Cyrillic alphabets
// in lower case, as file systems that ignore letter case compare names. Two paths with different
// keys never name one file.
std::string PathComparisonKey(const std::filesystem::path& APath,
                              platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

// Whether two spellings name one folder: a trailing separator, "." and "..", relative and
// absolute forms and symbolic links do not make a difference. Folders that do not exist are
// compared by their normalised absolute paths.
bool IsSameFolder(const std::filesystem::path& AFirst, const std::filesystem::path& ASecond,
                  platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

} // namespace kvaderon
