// Text as runs with a colour role and a bold flag: built once in the engine, rendered by the
// window with its colour set in force and by the command line as plain text or ANSI colours.
#pragma once

#include "CommonTypes.h"

#include <string>
#include <vector>

namespace kvaderon {

// The colour roles of the log, in the order of TOutputColors.
enum class TColorRole : std::uint8_t { crFileName, crNames, crValues, crSeparators, crOK, crWarning, crError };

struct TTextRun {
    std::string Text; // UTF-8; a line ends with "\n" inside the text
    TColorRole Role = TColorRole::crNames;
    bool Bold = false;

    bool operator==(const TTextRun&) const = default;
};

using TTextRuns = std::vector<TTextRun>;

TColor RoleColor(const TOutputColors& AColors, TColorRole ARole);

// The runs' texts joined, without colours.
std::string PlainText(const TTextRuns& ARuns);

} // namespace kvaderon
