// The JSON objects kvaderon-cli prints, parsed by the tests.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace kvaderon::test {

// Objects in an array, each kept as its own text to be parsed in turn.
struct TJsonObjects {
    std::vector<std::string> Texts;
    bool operator==(const TJsonObjects&) const = default;
};

// A JSON object of strings, numbers, Booleans, nulls, arrays of whole numbers, of strings and of such
// objects, parsed strictly enough to reject what the program must not write.
using TJsonValue = std::variant<std::string, std::int64_t, bool, std::vector<std::int64_t>, std::monostate, double,
                                TJsonObjects, std::vector<std::string>>;
using TJsonObject = std::map<std::string, TJsonValue>;

class TFlatJson {
public:
    static TJsonObject Parse(const std::string& AText, std::vector<std::string>& AKeys) {
        TFlatJson json{AText};
        TJsonObject object = json.Object(AKeys);
        if (json.FAt != AText.size())
            throw std::runtime_error("text after the object");
        return object;
    }
    static TJsonObject Parse(const std::string& AText) {
        std::vector<std::string> keys;
        return Parse(AText, keys);
    }

private:
    explicit TFlatJson(const std::string& AText) : FText(AText) {}

    TJsonObject Object(std::vector<std::string>& AKeys) {
        TJsonObject object;
        Expect('{');
        do {
            const std::string key = String();
            Expect(':');
            AKeys.push_back(key);
            object[key] = Value();
        } while (Accept(','));
        Expect('}');
        return object;
    }

    bool Accept(char AChar) {
        if (FAt < FText.size() && FText[FAt] == AChar) {
            ++FAt;
            return true;
        }
        return false;
    }
    void Expect(char AChar) {
        if (!Accept(AChar))
            throw std::runtime_error(std::string("expected ") + AChar + " at " + std::to_string(FAt));
    }
    std::string String() {
        Expect('"');
        std::string text;
        for (;;) {
            if (FAt >= FText.size())
                throw std::runtime_error("unterminated string");
            const char c = FText[FAt++];
            if (c == '"')
                return text;
            if (static_cast<unsigned char>(c) < 0x20)
                throw std::runtime_error("raw control character");
            if (c != '\\') {
                text += c;
                continue;
            }
            const char escaped = FText.at(FAt++);
            const std::map<char, char> simple{{'"', '"'},  {'\\', '\\'}, {'/', '/'},  {'n', '\n'},
                                              {'r', '\r'}, {'t', '\t'},  {'b', '\b'}, {'f', '\f'}};
            if (escaped == 'u') {
                const unsigned code = std::stoul(FText.substr(FAt, 4), nullptr, 16);
                FAt += 4;
                if (code >= 0x80)
                    throw std::runtime_error("only control characters are expected as \\u");
                text += char(code);
            } else
                text += simple.at(escaped);
        }
    }
    std::int64_t Number() {
        std::size_t used = 0;
        const std::int64_t value = std::stoll(FText.substr(FAt), &used);
        FAt += used;
        return value;
    }
    TJsonValue Value() {
        if (FText.compare(FAt, 4, "null") == 0)
            return FAt += 4, std::monostate{};
        if (FText.compare(FAt, 4, "true") == 0)
            return FAt += 4, true;
        if (FText.compare(FAt, 5, "false") == 0)
            return FAt += 5, false;
        if (FAt < FText.size() && FText[FAt] == '"')
            return String();
        if (Accept('[')) {
            std::vector<std::int64_t> numbers;
            if (Accept(']'))
                return numbers;
            if (FText[FAt] == '"') {
                std::vector<std::string> texts;
                do
                    texts.push_back(String());
                while (Accept(','));
                Expect(']');
                return texts;
            }
            if (FText[FAt] == '{') {
                TJsonObjects objects;
                do {
                    const std::size_t start = FAt;
                    std::vector<std::string> keys;
                    Object(keys);
                    objects.Texts.push_back(FText.substr(start, FAt - start));
                } while (Accept(','));
                Expect(']');
                return objects;
            }
            do
                numbers.push_back(Number());
            while (Accept(','));
            Expect(']');
            return numbers;
        }
        const std::size_t end = FText.find_first_of(",}]", FAt);
        if (FText.substr(FAt, end - FAt).find_first_of(".eE") != std::string::npos) {
            std::size_t used = 0;
            const double value = std::stod(FText.substr(FAt), &used);
            FAt += used;
            return value;
        }
        return Number();
    }

    const std::string& FText;
    std::size_t FAt = 0;
};

} // namespace kvaderon::test
