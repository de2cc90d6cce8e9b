#include "FileList.h"

#include "CommandLine.h"
#include "PathText.h"
#include "TextFormat.h"

#include <fstream>
#include <iostream>

namespace kvaderon::cli {

std::vector<std::string> ReadFileNames(std::istream& AInput, bool ANullSeparated) {
    std::vector<std::string> names;
    for (std::string name; std::getline(AInput, name, ANullSeparated ? '\0' : '\n');) {
        if (!ANullSeparated && !name.empty() && name.back() == '\r')
            name.pop_back();
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> ReadFileList(const std::string& ASource, bool ANullSeparated) {
    if (ASource == "-") {
        std::vector<std::string> names = ReadFileNames(std::cin, ANullSeparated);
        if (std::cin.bad())
            throw EUsageError("Не удалось прочитать список файлов из стандартного ввода");
        return names;
    }
    std::ifstream file(Utf8ToPath(ASource), std::ios::binary);
    if (!file)
        throw EUsageError(FormatText("Не удалось открыть список файлов: %s", {ASource}));
    std::vector<std::string> names = ReadFileNames(file, ANullSeparated);
    if (file.bad())
        throw EUsageError(FormatText("Не удалось прочитать список файлов: %s", {ASource}));
    return names;
}

} // namespace kvaderon::cli
