#include "TextFormat.h"

#include <stdexcept>

namespace kvaderon {

namespace {

void AppendArg(std::string& AOut, char AConversion, const TFormatArg& AArg) {
    const auto& value = AArg.Value();
    if (AConversion == 's') {
        if (!std::holds_alternative<std::string_view>(value))
            throw std::invalid_argument("%s expects a text argument");
        AOut += std::get<std::string_view>(value);
        return;
    }
    if (std::holds_alternative<std::int64_t>(value))
        AOut += std::to_string(std::get<std::int64_t>(value));
    else if (std::holds_alternative<std::uint64_t>(value))
        AOut += std::to_string(std::get<std::uint64_t>(value));
    else
        throw std::invalid_argument("%d expects a whole-number argument");
}

} // namespace

std::string FormatText(std::string_view AFormat, std::initializer_list<TFormatArg> AArgs) {
    std::string out;
    out.reserve(AFormat.size() + 32);
    auto arg = AArgs.begin();
    for (std::size_t i = 0; i < AFormat.size(); ++i) {
        if (AFormat[i] != '%') {
            out += AFormat[i];
            continue;
        }
        if (i + 1 >= AFormat.size())
            throw std::invalid_argument("format ends with a lone %");
        const char conversion = AFormat[++i];
        if (conversion == '%') {
            out += '%';
            continue;
        }
        if (conversion != 'd' && conversion != 's')
            throw std::invalid_argument("unsupported conversion in format");
        if (arg == AArgs.end())
            throw std::invalid_argument("too few arguments for format");
        AppendArg(out, conversion, *arg++);
    }
    if (arg != AArgs.end())
        throw std::invalid_argument("too many arguments for format");
    return out;
}

std::string JoinDecimal(const std::vector<std::uint16_t>& AValues) {
    std::string text;
    for (std::size_t i = 0; i < AValues.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(AValues[i]);
    }
    return text;
}

} // namespace kvaderon
