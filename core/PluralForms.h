// The Russian plural forms of counted words.
#pragma once

#include <cstdint>
#include <string>

namespace kvaderon {

// The Russian plural form for ACount: "файл", "файла", "файлов".
const std::string& GetPluralForm(std::int64_t ACount, const std::string& AOne, const std::string& AFew,
                                 const std::string& AMany);

} // namespace kvaderon
