#include "TerminalText.h"

#include <cstdio>

namespace kvaderon::cli {

// The length of the well-formed UTF-8 sequence at the start of AText, or 0.
std::size_t Utf8SequenceLength(std::string_view AText) {
    const auto byte = [&](std::size_t AIndex) { return static_cast<unsigned char>(AText[AIndex]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // the allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else
        return 0;
    if (AText.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

std::string EscapeControls(std::string_view AText, bool AKeepLineBreaks) {
    std::string out;
    out.reserve(AText.size());
    auto escapeBytes = [&](std::string_view ABytes) {
        for (const char c : ABytes) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", unsigned(static_cast<unsigned char>(c)));
            out += escaped;
        }
    };
    while (!AText.empty()) {
        const std::size_t length = Utf8SequenceLength(AText);
        const auto lead = static_cast<unsigned char>(AText[0]);
        const bool lineBreak = lead == '\n' && AKeepLineBreaks;
        // C0 controls and DEL; C1 controls U+0080..U+009F (two bytes from 0xC2 0x80); stray bytes.
        const bool control = (lead < 0x20 && !lineBreak) || lead == 0x7F ||
                             (length == 2 && lead == 0xC2 && static_cast<unsigned char>(AText[1]) < 0xA0);
        const std::size_t taken = length == 0 ? 1 : length;
        if (length == 0 || control)
            escapeBytes(AText.substr(0, taken));
        else
            out.append(AText.substr(0, taken));
        AText.remove_prefix(taken);
    }
    return out;
}

namespace {

// Colours that read on dark and on light terminal backgrounds; 39 is the terminal's own.
const char* RoleColorCode(TColorRole ARole) {
    switch (ARole) {
    case TColorRole::crFileName:
        return "39";
    case TColorRole::crNames:
        return "39";
    case TColorRole::crValues:
        return "36";
    case TColorRole::crSeparators:
        return "39";
    case TColorRole::crOK:
        return "32";
    case TColorRole::crWarning:
        return "33";
    case TColorRole::crError:
        return "31";
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
    std::string out;
    for (const auto& run : ARuns) {
        // A name keeps only the line break that ends its run; one inside it is shown escaped.
        std::string_view text = run.Text;
        const bool endsLine = run.Role == TColorRole::crFileName && !text.empty() && text.back() == '\n';
        if (endsLine)
            text.remove_suffix(1);
        std::string shown = EscapeControls(text, run.Role != TColorRole::crFileName);
        if (endsLine)
            shown += '\n';
        if (!AColored) {
            out += shown;
            continue;
        }
        std::string_view rest = shown;
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
