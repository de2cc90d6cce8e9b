// Text as runs with a colour role and a bold flag: built once in the engine, rendered by the
// window with its colour set in force and by the command line as plain text or ANSI colours.
#pragma once

#include "Colors.h"

#include <array>
#include <string>
#include <vector>

namespace kvaderon {

// The colour roles of the log, in the order of TOutputColors.
enum class TColorRole : std::uint8_t { crFileName, crNames, crValues, crSeparators, crOK, crWarning, crError };

// A colour role's colour in TOutputColors and its key in the settings file (before "_B" or "_W").
struct TColorRoleEntry {
    TColorRole Role;
    TColor TOutputColors::*Color;
    const char* Key;
};

// Every colour role once, in the order of TColorRole.
inline constexpr std::array<TColorRoleEntry, 7> ColorRoles{{
    {TColorRole::crFileName, &TOutputColors::FileName, "FileName"},
    {TColorRole::crNames, &TOutputColors::Names, "Names"},
    {TColorRole::crValues, &TOutputColors::Values, "Values"},
    {TColorRole::crSeparators, &TOutputColors::Separators, "Separators"},
    {TColorRole::crOK, &TOutputColors::OK, "OK"},
    {TColorRole::crWarning, &TOutputColors::Warning, "Warning"},
    {TColorRole::crError, &TOutputColors::Error, "Error"},
}};

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
