// Coloured runs as terminal text: plain, or with ANSI colours by role.
#pragma once

#include "ColorText.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kvaderon::cli {

// The length of the well-formed UTF-8 sequence at the start of AText (not empty), or 0.
std::size_t Utf8SequenceLength(std::string_view AText);

// AText safe to show on a terminal: control characters (C0 but the line break when
// AKeepLineBreaks, DEL, C1) and bytes that are not UTF-8 become "\x1b"-style escapes of their bytes.
std::string EscapeControls(std::string_view AText, bool AKeepLineBreaks);

// Every run's text goes through EscapeControls; a file name's run keeps only its final line break.
// With AColored every piece of a run between line breaks is wrapped in its role's colour (and
// bold), and reset before each line break so that no colour spills into the next line.
std::string RenderRuns(const TTextRuns& ARuns, bool AColored);

} // namespace kvaderon::cli
