// The names of a --files-from list: one per line, or NUL-separated as find -print0 writes them.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace kvaderon::cli {

// The names in AInput: with ANullSeparated split at NUL bytes, otherwise at line feeds with a
// carriage return before one dropped; empty names are left out.
std::vector<std::string> ReadFileNames(std::istream& AInput, bool ANullSeparated);

// The names in the file ASource, or in standard input for "-". Raises EUsageError when it cannot
// be read.
std::vector<std::string> ReadFileList(const std::string& ASource, bool ANullSeparated);

} // namespace kvaderon::cli
