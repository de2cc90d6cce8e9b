// kvaderon-cli over the table of layouts in which a run must never lose or double a file: invert's
// outcome for each file and its exit status, then verify --out with the same arguments, which
// checks exactly the pairs invert wrote.
#include "CliTestSupport.h"
#include "FlatJson.h"
#include "PathText.h"
#include "RunLayouts.h"

#include <map>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class RunLayoutCli : public TCliTest {
protected:
    static std::vector<TJsonObject> JsonLines(const std::string& AOut) {
        std::vector<TJsonObject> objects;
        for (const std::string& line : Lines(AOut))
            objects.push_back(TFlatJson::Parse(line));
        return objects;
    }

    static std::string Text(const TJsonObject& AObject, const char* AKey) {
        return std::get<std::string>(AObject.at(AKey));
    }

    // Takes the permissions the layout asks for away; false when they do not hold (the superuser,
    // or a system without them), and the case is then left to the engine's test.
    static bool Restrict(const fs::path& ARoot, const TRunLayout& ALayout) {
        std::error_code error;
        if (!ALayout.Unreadable.empty()) {
            fs::permissions(ARoot / ALayout.Unreadable, fs::perms::none, error);
            fs::directory_iterator listing(ARoot / ALayout.Unreadable, error);
            if (!error)
                return false;
        }
        if (!ALayout.ReadOnly.empty()) {
            fs::permissions(ARoot / ALayout.ReadOnly, fs::perms::owner_read | fs::perms::owner_exec, error);
            fs::create_directory(ARoot / ALayout.ReadOnly / "probe", error);
            if (!error)
                return false;
        }
        return true;
    }

    static void Unrestrict(const fs::path& ARoot, const TRunLayout& ALayout) {
        for (const std::string& folder : {ALayout.Unreadable, ALayout.ReadOnly})
            if (!folder.empty())
                fs::permissions(ARoot / folder, fs::perms::owner_all);
    }

    static std::vector<std::string> Arguments(const char* ACommand, const fs::path& ARoot, const TRunLayout& ALayout) {
        std::vector<std::string> arguments{ACommand, "--json", "--out", PathToUtf8(ARoot / ALayout.Destination)};
        if (ALayout.Overwrite && std::string(ACommand) == "invert")
            arguments.push_back("--overwrite");
        for (const std::string& input : ALayout.Inputs)
            arguments.push_back(PathToUtf8(ARoot / input));
        return arguments;
    }
};

const std::map<TLayoutOutcome, std::string> JsonOutcomes{
    {TLayoutOutcome::loWritten, "written"},    {TLayoutOutcome::loOverwritten, "overwritten"},
    {TLayoutOutcome::loKept, "skipped"},       {TLayoutOutcome::loShared, "refused"},
    {TLayoutOutcome::loNoTiff, "refused"},     {TLayoutOutcome::loUnreadable, "refused"},
    {TLayoutOutcome::loDestination, "failed"},
};

bool WritesPositive(TLayoutOutcome AOutcome) {
    return AOutcome == TLayoutOutcome::loWritten || AOutcome == TLayoutOutcome::loOverwritten ||
           AOutcome == TLayoutOutcome::loKept;
}

TEST_F(RunLayoutCli, InvertNeverLosesOrDoublesAFileAndVerifyChecksWhatItWrote) {
    for (const TRunLayout& layout : RunLayouts()) {
        SCOPED_TRACE(layout.Name);
        TTempDir temp;
        MakeLayout(temp.Path(), layout);
        if (!Restrict(temp.Path(), layout)) {
            Unrestrict(temp.Path(), layout);
            continue;
        }
        TProgramResult invert;
        for (int i = 0; i < layout.Runs; ++i)
            invert = Cli(Arguments("invert", temp.Path(), layout));
        const TProgramResult verify = Cli(Arguments("verify", temp.Path(), layout));
        Unrestrict(temp.Path(), layout);

        EXPECT_EQ(invert.ExitCode, layout.ExitStatus) << invert.Out << invert.Err;
        EXPECT_TRUE(NegativesUntouched(temp.Path(), layout));
        const std::vector<TJsonObject> records = JsonLines(invert.Out);
        const std::vector<TJsonObject> pairs = JsonLines(verify.Out);
        ASSERT_EQ(pairs.size(), layout.Expected.size() + 1) << verify.Out;
        for (std::size_t i = 0; i < layout.Expected.size(); ++i) {
            const TLayoutExpectation& expected = layout.Expected[i];
            SCOPED_TRACE(expected.Input);
            const std::string input = NativeSeparators(PathToUtf8(temp / expected.Input));
            EXPECT_EQ(NativeSeparators(Text(pairs[i], "Negative")), input);
            EXPECT_EQ(Text(pairs[i], "Outcome"), WritesPositive(expected.Outcome) ? "holds" : "failed");
            if (WritesPositive(expected.Outcome)) {
                EXPECT_EQ(NativeSeparators(Text(pairs[i], "Positive")),
                          NativeSeparators(PathToUtf8(temp / expected.Target)));
                EXPECT_TRUE(HoldsPositive(temp.Path(), layout, expected.Input, expected.Target));
            }
            if (expected.Outcome == TLayoutOutcome::loNotAttempted) {
                EXPECT_LE(records.size(), i + 1) << "a record of a file never attempted";
                continue;
            }
            ASSERT_LT(i, records.size());
            EXPECT_EQ(NativeSeparators(Text(records[i], "Input")), input);
            EXPECT_EQ(Text(records[i], "Outcome"), JsonOutcomes.at(expected.Outcome));
            if (expected.Outcome == TLayoutOutcome::loShared) {
                EXPECT_EQ(NativeSeparators(Text(records[i], "Reason")),
                          NativeSeparators("Цель совпадает с другим файлом этого запуска: " +
                                           PathToUtf8(temp / expected.Target)));
            }
            if (expected.Outcome == TLayoutOutcome::loDestination) {
                EXPECT_EQ(Text(records[i], "Reason").rfind("Папка назначения недоступна для записи: ", 0), 0u);
            }
        }
        EXPECT_EQ(verify.ExitCode, layout.ExitStatus) << verify.Out;
    }
}

} // namespace
} // namespace kvaderon::test
