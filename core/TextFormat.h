// A small checked formatter for the message texts: %d takes a whole number, %s a text, %% a percent sign.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvaderon {

class TFormatArg {
public:
    template <std::signed_integral T> TFormatArg(T AValue) : FValue(std::int64_t(AValue)) {}
    template <std::unsigned_integral T> TFormatArg(T AValue) : FValue(std::uint64_t(AValue)) {}
    TFormatArg(std::string_view AValue) : FValue(AValue) {}
    TFormatArg(const std::string& AValue) : FValue(std::string_view(AValue)) {}
    TFormatArg(const char* AValue) : FValue(std::string_view(AValue)) {}

    const std::variant<std::int64_t, std::uint64_t, std::string_view>& Value() const { return FValue; }

private:
    std::variant<std::int64_t, std::uint64_t, std::string_view> FValue;
};

// Throws std::invalid_argument when the arguments do not match the format.
std::string FormatText(std::string_view AFormat, std::initializer_list<TFormatArg> AArgs = {});

// The numbers in decimal, separated by a comma without a space: "16,16,8".
std::string JoinDecimal(const std::vector<std::uint16_t>& AValues);

} // namespace kvaderon
