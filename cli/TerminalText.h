// Coloured runs as terminal text: plain, or with ANSI colours by role.
#pragma once

#include "ColorText.h"

#include <string>

namespace kvaderon::cli {

// With AColored every piece of a run between line breaks is wrapped in its role's colour (and
// bold), and reset before each line break so that no colour spills into the next line.
std::string RenderRuns(const TTextRuns& ARuns, bool AColored);

} // namespace kvaderon::cli
