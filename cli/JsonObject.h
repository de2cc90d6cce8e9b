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
