// The README's GNU parallel recipe, run as it stands over 200 files with 4 jobs: every file gets
// its positive, its JSON record and its line in the one SHA256SUMS.
#include "CliTestSupport.h"
#include "FlatJson.h"
#include "PathText.h"

#include <cstdlib>
#include <fstream>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class ParallelRecipeCli : public TCliTest {};

// The README's shell lines between "GNU parallel over a file list" and the end of that block, the
// program name replaced by the built one.
std::string Recipe() {
    std::ifstream readme(fs::path(KVADERON_SOURCE_DIR) / "README.md");
    std::string text((std::istreambuf_iterator<char>(readme)), std::istreambuf_iterator<char>());
    const std::size_t heading = text.find("GNU parallel over a file list");
    const std::size_t begin = text.find("```sh\n", heading);
    const std::size_t end = text.find("```", begin + 6);
    if (heading == std::string::npos || begin == std::string::npos || end == std::string::npos)
        return {};
    std::string recipe = text.substr(begin + 6, end - begin - 6);
    for (std::size_t at = 0; (at = recipe.find("kvaderon-cli ", at)) != std::string::npos;) {
        const std::string program = std::string("'") + KVADERON_CLI_PROGRAM + "' ";
        recipe.replace(at, 13, program);
        at += program.size();
    }
    return recipe;
}

TEST_F(ParallelRecipeCli, TwoHundredFilesWithFourJobsLeaveEveryRecordAndLine) {
    if (std::system("parallel --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no GNU parallel here (scripts/install-deps installs it)";
    const std::string recipe = Recipe();
    ASSERT_NE(recipe.find("parallel"), std::string::npos) << "the recipe is gone from the README";
    const fs::path work = Folder("work");
    for (int i = 0; i < 200; ++i)
        Put(Folder("work/Сканы/roll" + std::to_string(i % 3)) / ("frame " + std::to_string(i) + ".tif"),
            BuildImage(Image(std::uint16_t(i))).Build());
    const std::string script = PathToUtf8(work / "recipe.sh");
    WriteFile(script, TBytes(recipe.begin(), recipe.end()));
    const std::string command = "cd '" + PathToUtf8(work) + "' && sh -e recipe.sh > check.out 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadTextFile(work / "check.out");

    int records = 0;
    for (const auto& entry : fs::directory_iterator(work))
        if (entry.path().extension() == ".jsonl")
            for (const std::string& line : Lines(ReadTextFile(entry.path()))) {
                std::vector<std::string> keys;
                const TJsonObject record = TFlatJson::Parse(line, keys);
                if (record.count("Summary") == 0) {
                    EXPECT_EQ(std::get<std::string>(record.at("Outcome")), "written") << line;
                    ++records;
                }
            }
    EXPECT_EQ(records, 200);
    EXPECT_EQ(Lines(ReadTextFile(work / "Позитивы" / "SHA256SUMS")).size(), 200u);
}

} // namespace
} // namespace kvaderon::test
