// A single-line JSON object built key by key, for the machine-readable output of every command.
#pragma once

#include "AnalysisJson.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace kvaderon::cli {

class TJsonObject {
public:
    template <typename T> void Add(const char* AKey, const T& AValue) {
        Key(AKey);
        if constexpr (std::is_same_v<T, bool>)
            FText += AValue ? "true" : "false";
        else if constexpr (std::is_same_v<T, std::string>)
            FText += JsonString(AValue);
        else if constexpr (std::is_floating_point_v<T>) {
            char number[64]; // whatever the locale, a full stop
            const auto end = std::to_chars(number, number + sizeof number, double(AValue), std::chars_format::fixed, 3);
            FText.append(number, end.ptr);
        } else if constexpr (std::is_same_v<T, std::vector<std::uint16_t>>) {
            FText += '[';
            for (std::size_t i = 0; i < AValue.size(); ++i) {
                if (i > 0)
                    FText += ',';
                FText += std::to_string(AValue[i]);
            }
            FText += ']';
        } else
            FText += std::to_string(AValue);
    }
    // A path as UTF-8 text (a byte that is not UTF-8 shown as U+FFFD) and, when it is not valid
    // UTF-8, its bytes in hexadecimal under AKey + "Bytes": two such names stay apart and findable.
    void AddPath(const std::string& AKey, const std::string& APath) {
        Add(AKey.c_str(), APath);
        if (!IsUtf8(APath))
            Add((AKey + "Bytes").c_str(), HexBytes(APath));
    }
    void AddStrings(const char* AKey, const std::vector<std::string>& ATexts) {
        Key(AKey);
        FText += '[';
        for (std::size_t i = 0; i < ATexts.size(); ++i) {
            if (i > 0)
                FText += ',';
            FText += JsonString(ATexts[i]);
        }
        FText += ']';
    }
    // AJson is a JSON value already: null, a number with a fraction, an array, an object.
    void AddJson(const char* AKey, const std::string& AJson) {
        Key(AKey);
        FText += AJson;
    }
    std::string Finish() { return FText + "}"; }

private:
    void Key(const char* AKey) {
        FText += FText.size() > 1 ? ",\"" : "\"";
        FText += AKey;
        FText += "\":";
    }
    std::string FText = "{";
};

} // namespace kvaderon::cli
