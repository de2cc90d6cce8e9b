// Names that are not valid UTF-8 (any bytes but "/" and NUL on POSIX) stay apart in every JSON
// field that holds a path: the text shows U+FFFD, the field's "Bytes" twin the exact bytes.
#include "CliTestSupport.h"
#include "FlatJson.h"

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class NameBytesCli : public TCliTest {};

std::string Hex(const std::string& AText) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char c : AText) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

TEST_F(NameBytesCli, EveryPathFieldKeepsTheBytesOfANameThatIsNotUtf8) {
    const fs::path in = Folder("in"), out = Folder("out");
    const std::vector<std::string> names = {"bad\xff.tif", "bad\xfe.tif"};
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < names.size(); ++i)
        inputs.push_back(Put(in / names[i], BuildImage(Image(std::uint16_t(i + 1))).Build()).string());
    const std::string listPath = (out / "SHA256SUMS").string();
    const struct {
        const char* Name;
        std::vector<std::string> Arguments;
        std::vector<std::pair<std::string, std::string>> Fields; // key, the name's folder
    } commands[] = {
        // One job: the list's lines, appended as files are done, are then in list order for check.
        {"invert",
         {"invert", "--json", "--checksums", "--jobs", "1", "--out", out.string()},
         {{"Input", in}, {"Target", out}}},
        {"verify", {"verify", "--json", "--out", out.string()}, {{"Negative", in}, {"Positive", out}}},
        {"analyze", {"analyze", "--json", "--depth-only"}, {{"File", in}}},
        {"check", {"check", "--json", listPath}, {{"File", ""}}},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.Name);
        std::vector<std::string> arguments = command.Arguments;
        if (std::string(command.Name) != "check")
            arguments.insert(arguments.end(), inputs.begin(), inputs.end());
        const TProgramResult run = Cli(arguments);
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        const auto lines = Lines(run.Out);
        ASSERT_GE(lines.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::vector<std::string> keys;
            const TJsonObject record = TFlatJson::Parse(lines[i], keys);
            for (const auto& [key, folder] : command.Fields) {
                const std::string path = folder.empty() ? names[i] : (fs::path(folder) / names[i]).string();
                EXPECT_EQ(std::get<std::string>(record.at(key)), path.substr(0, path.size() - 5) + "\xEF\xBF\xBD.tif");
                EXPECT_EQ(std::get<std::string>(record.at(key + "Bytes")), Hex(path)) << key;
            }
        }
    }
}

} // namespace
} // namespace kvaderon::test
