#include "TerminalText.h"

namespace kvaderon::cli {

namespace {

// Colours that read on dark and on light terminal backgrounds; 39 is the terminal's own.
const char* RoleColorCode(TColorRole ARole) {
    switch (ARole) {
    case TColorRole::crFileName: return "39";
    case TColorRole::crNames: return "39";
    case TColorRole::crValues: return "36";
    case TColorRole::crSeparators: return "39";
    case TColorRole::crOK: return "32";
    case TColorRole::crWarning: return "33";
    case TColorRole::crError: return "31";
    }
    return "39";
}

void AppendColored(std::string& AOut, std::string_view APiece, const TTextRun& ARun) {
    if (APiece.empty())
        return;
    AOut += "\x1b[";
    if (ARun.Bold)
        AOut += "1;";
    AOut += RoleColorCode(ARun.Role);
    AOut += 'm';
    AOut += APiece;
    AOut += "\x1b[0m";
}

} // namespace

std::string RenderRuns(const TTextRuns& ARuns, bool AColored) {
    if (!AColored)
        return PlainText(ARuns);
    std::string out;
    for (const auto& run : ARuns) {
        std::string_view rest = run.Text;
        for (auto lineBreak = rest.find('\n'); lineBreak != std::string_view::npos; lineBreak = rest.find('\n')) {
            AppendColored(out, rest.substr(0, lineBreak), run);
            out += '\n';
            rest.remove_prefix(lineBreak + 1);
        }
        AppendColored(out, rest, run);
    }
    return out;
}

} // namespace kvaderon::cli
