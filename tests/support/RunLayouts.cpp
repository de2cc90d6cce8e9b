#include "RunLayouts.h"

#include "PathText.h"

namespace kvaderon::test {

namespace fs = std::filesystem;

namespace {

TImageLayout Layout(std::uint16_t ASeed) {
    TImageLayout layout;
    layout.Height = 2;
    layout.Samples.resize(SampleCount(layout));
    for (std::size_t i = 0; i < layout.Samples.size(); ++i)
        layout.Samples[i] = std::uint16_t(ASeed * 977 + i * 131);
    return layout;
}

std::uint16_t SeedOf(const TRunLayout& ALayout, const std::string& AInput) {
    for (const auto& [path, seed] : ALayout.Negatives)
        if (path == AInput)
            return seed;
    return 0;
}

} // namespace

TBytes LayoutNegative(std::uint16_t ASeed) {
    return BuildImage(Layout(ASeed)).Build();
}

TBytes LayoutPositive(std::uint16_t ASeed) {
    TImageLayout layout = Layout(ASeed);
    for (auto& sample : layout.Samples)
        sample = std::uint16_t(~sample);
    return BuildImage(layout).Build();
}

std::vector<TRunLayout> RunLayouts() {
    using enum TLayoutOutcome;
    return {
        {"two rolls with the same frame names",
         {{"Roll1/scan0001.tif", 1}, {"Roll2/scan0001.tif", 2}},
         {},
         {"Roll1", "Roll2"},
         "Positives",
         false,
         1,
         {},
         {},
         {{"Roll1/scan0001.tif", loWritten, "Positives/Roll1/scan0001.tif"},
          {"Roll2/scan0001.tif", loWritten, "Positives/Roll2/scan0001.tif"}},
         0},
        {"two frames of the same name named by themselves",
         {{"Roll1/scan0001.tif", 1}, {"Roll2/scan0001.tif", 2}},
         {},
         {"Roll1/scan0001.tif", "Roll2/scan0001.tif"},
         "Positives",
         false,
         1,
         {},
         {},
         {{"Roll1/scan0001.tif", loShared, "Roll2/scan0001.tif"},
          {"Roll2/scan0001.tif", loShared, "Roll1/scan0001.tif"}},
         1},
        {"an input that is another input's target, overwriting",
         {{"Roll1/scan0001.tif", 1}, {"Roll2/scan0001.tif", 2}},
         {},
         {"Roll1/scan0001.tif", "Roll2/scan0001.tif"},
         "Roll2",
         true,
         1,
         {},
         {},
         {{"Roll1/scan0001.tif", loShared, "Roll2/scan0001.tif"},
          {"Roll2/scan0001.tif", loShared, "Roll1/scan0001.tif"}},
         1},
        {"an input that is another input's target",
         {{"Roll1/scan0001.tif", 1}, {"Roll2/scan0001.tif", 2}},
         {},
         {"Roll1/scan0001.tif", "Roll2/scan0001.tif"},
         "Roll2",
         false,
         1,
         {},
         {},
         {{"Roll1/scan0001.tif", loShared, "Roll2/scan0001.tif"},
          {"Roll2/scan0001.tif", loShared, "Roll1/scan0001.tif"}},
         1},
        {"a folder into itself, run twice",
         {{"IN/a.tif", 3}, {"IN/sub/b.tif", 4}},
         {},
         {"IN"},
         "IN",
         false,
         2,
         {},
         {},
         {{"IN/a.tif", loKept, "IN/! a.tif"}, {"IN/sub/b.tif", loKept, "IN/sub/! b.tif"}},
         0},
        {"a folder into itself, run twice, overwriting",
         {{"IN/a.tif", 3}},
         {},
         {"IN"},
         "IN",
         true,
         2,
         {},
         {},
         {{"IN/a.tif", loOverwritten, "IN/! a.tif"}},
         0},
        {"a folder into a folder below it, run twice",
         {{"IN/a.tif", 3}, {"IN/sub/b.tif", 4}},
         {},
         {"IN"},
         "IN/pos",
         false,
         2,
         {},
         {},
         {{"IN/a.tif", loKept, "IN/pos/IN/a.tif"}, {"IN/sub/b.tif", loKept, "IN/pos/IN/sub/b.tif"}},
         0},
        {"names that differ only in letter case or extension",
         {{"TW/a.TIF", 5}, {"TW/a.tiff", 6}, {"TW/b.tif", 7}},
         {},
         {"TW"},
         "TW",
         false,
         1,
         {},
         {},
         {{"TW/a.TIF", loShared, "TW/a.tiff"},
          {"TW/a.tiff", loShared, "TW/a.TIF"},
          {"TW/b.tif", loWritten, "TW/! b.tif"}},
         1},
        {"a folder without a TIFF file",
         {{"Roll1/scan0001.tif", 1}},
         {"EMPTY"},
         {"EMPTY", "Roll1"},
         "OUT",
         false,
         1,
         {},
         {},
         {{"EMPTY", loNoTiff, {}}, {"Roll1/scan0001.tif", loWritten, "OUT/Roll1/scan0001.tif"}},
         1},
        {"a subfolder that cannot be read",
         {{"Roll/a.tif", 8}, {"Roll/bad/c.tif", 9}, {"Roll/z.tif", 10}},
         {},
         {"Roll"},
         "OUT",
         false,
         1,
         "Roll/bad",
         {},
         {{"Roll/a.tif", loWritten, "OUT/Roll/a.tif"},
          {"Roll/bad", loUnreadable, {}},
          {"Roll/z.tif", loWritten, "OUT/Roll/z.tif"}},
         1},
        {"a destination that refuses new files",
         {{"Roll/a.tif", 8}, {"Roll/b.tif", 9}, {"Roll/c.tif", 10}},
         {"OUT"},
         {"Roll"},
         "OUT",
         false,
         1,
         {},
         "OUT",
         {{"Roll/a.tif", loDestination, {}}, {"Roll/b.tif", loNotAttempted, {}}, {"Roll/c.tif", loNotAttempted, {}}},
         1},
    };
}

void MakeLayout(const fs::path& ARoot, const TRunLayout& ALayout) {
    for (const auto& [path, seed] : ALayout.Negatives) {
        fs::create_directories((ARoot / Utf8ToPath(path)).parent_path());
        WriteFile(ARoot / Utf8ToPath(path), LayoutNegative(seed));
    }
    for (const std::string& folder : ALayout.EmptyFolders)
        fs::create_directories(ARoot / Utf8ToPath(folder));
}

bool HoldsPositive(const fs::path& ARoot, const TRunLayout& ALayout, const std::string& AInput,
                   const std::string& ATarget) {
    const fs::path target = ARoot / Utf8ToPath(ATarget);
    return fs::is_regular_file(target) && ReadFile(target) == LayoutPositive(SeedOf(ALayout, AInput));
}

bool NegativesUntouched(const fs::path& ARoot, const TRunLayout& ALayout) {
    for (const auto& [path, seed] : ALayout.Negatives)
        if (ReadFile(ARoot / Utf8ToPath(path)) != LayoutNegative(seed))
            return false;
    return true;
}

} // namespace kvaderon::test
