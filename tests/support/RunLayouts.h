// Folder layouts that a batch run must never lose or double a file in, with each file's expected
// outcome and the run's exit status: one table for the engine's run plan and both programs.
#pragma once

#include "TiffBuilder.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kvaderon::test {

// What becomes of one entry of the run, in list order.
enum class TLayoutOutcome {
    loWritten,     // a new positive at Target
    loOverwritten, // an existing target replaced
    loKept,        // the target exists and was left alone (overwriting not asked for)
    loShared,      // the target is another input, or another input's target too: Other names it
    loNoTiff,      // a named folder without a TIFF file
    loUnreadable,  // a folder below a named one that cannot be read
    loDestination, // the destination refuses new files: the run ends here, once
    loNotAttempted // after the run ended
};

struct TLayoutExpectation {
    std::string Input; // relative to the layout's root
    TLayoutOutcome Outcome;
    std::string Target; // of a positive (written, overwritten, kept); Other for a shared target
};

struct TRunLayout {
    const char* Name;
    std::vector<std::pair<std::string, std::uint16_t>> Negatives; // relative path, sample seed
    std::vector<std::string> EmptyFolders;
    std::vector<std::string> Inputs; // the run's arguments, relative to the root
    std::string Destination;
    bool Overwrite = false;
    int Runs = 1;           // the same run this many times; the expectations are of the last
    std::string Unreadable; // a folder whose listing fails
    std::string ReadOnly;   // a folder refusing new files
    std::vector<TLayoutExpectation> Expected;
    int ExitStatus = 0;
};

std::vector<TRunLayout> RunLayouts();

// The negative of seed ASeed, and its positive byte for byte.
TBytes LayoutNegative(std::uint16_t ASeed);
TBytes LayoutPositive(std::uint16_t ASeed);

// Makes the negatives and empty folders of ALayout under ARoot.
void MakeLayout(const std::filesystem::path& ARoot, const TRunLayout& ALayout);

// Whether the negative AInput of ALayout has ATarget under ARoot as its positive.
bool HoldsPositive(const std::filesystem::path& ARoot, const TRunLayout& ALayout, const std::string& AInput,
                   const std::string& ATarget);

// Whether every negative of ALayout under ARoot is as it was made.
bool NegativesUntouched(const std::filesystem::path& ARoot, const TRunLayout& ALayout);

// AText with every "/" as the system's own separator ("\\" on Windows), so that paths the programs
// wrote compare with paths the tests joined, whichever separators either holds.
inline std::string NativeSeparators(const std::string& AText) {
    std::string text = AText;
    if (std::filesystem::path::preferred_separator != '/')
        std::replace(text.begin(), text.end(), '/', char(std::filesystem::path::preferred_separator));
    return text;
}

} // namespace kvaderon::test
