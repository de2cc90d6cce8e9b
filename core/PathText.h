// Conversion between paths and the UTF-8 text used in messages.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kvaderon {

inline std::string PathToUtf8(const std::filesystem::path& APath) {
    const std::u8string text = APath.u8string();
    return std::string(text.begin(), text.end());
}

inline std::filesystem::path Utf8ToPath(std::string_view AText) {
    return std::filesystem::path(std::u8string(AText.begin(), AText.end()));
}

} // namespace kvaderon
