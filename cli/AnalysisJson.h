// One analysis result as a single-line JSON object.
#pragma once

#include "TIFFBitDepthAnalyzer.h"

#include <string>
#include <string_view>

namespace kvaderon::cli {

// "File" first (with "FileBytes", its bytes in hexadecimal, after it when the name is not UTF-8,
// whose bytes "File" can only show as U+FFFD), then the fields of TBitDepthResult in declaration
// order without UniqueValues (both verdict flags null when the verdict is inconclusive), then
// "Verdict" (one of "16-bit", "8-bit", "suspicious", "inconclusive", "error"), "Channels", one
// object per colour channel, and "Images", the file's page map.
std::string AnalysisResultJson(const std::string& AFile, const TBitDepthResult& AResult);

// AText as a JSON string with its quotes; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(std::string_view AText);

// AText is well-formed UTF-8.
bool IsUtf8(std::string_view AText);
// The bytes of AText as lowercase hexadecimal digits.
std::string HexBytes(std::string_view AText);

} // namespace kvaderon::cli
