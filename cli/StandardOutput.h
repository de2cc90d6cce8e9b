// Writing to standard output, where a failure (a closed pipe, a full disk) ends the run.
#pragma once

#include <string_view>

namespace kvaderon::cli {

// Writes AText and flushes it. On failure writes "kvaderon-cli: ошибка записи в стандартный
// вывод: <reason>" to standard error and returns false; the caller starts no new work and ends
// with status 1.
bool WriteStandardOutput(std::string_view AText);

} // namespace kvaderon::cli
