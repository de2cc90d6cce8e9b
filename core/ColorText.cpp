#include "ColorText.h"

namespace kvaderon {

TColor RoleColor(const TOutputColors& AColors, TColorRole ARole) {
    switch (ARole) {
    case TColorRole::crFileName: return AColors.FileName;
    case TColorRole::crNames: return AColors.Names;
    case TColorRole::crValues: return AColors.Values;
    case TColorRole::crSeparators: return AColors.Separators;
    case TColorRole::crOK: return AColors.OK;
    case TColorRole::crWarning: return AColors.Warning;
    case TColorRole::crError: return AColors.Error;
    }
    return AColors.Names;
}

std::string PlainText(const TTextRuns& ARuns) {
    std::string text;
    for (const auto& run : ARuns)
        text += run.Text;
    return text;
}

} // namespace kvaderon
