#include "ColorText.h"

namespace kvaderon {

namespace {

constexpr bool RolesInOrder() {
    for (std::size_t i = 0; i < ColorRoles.size(); ++i)
        if (ColorRoles[i].Role != TColorRole(i))
            return false;
    return true;
}
static_assert(RolesInOrder(), "ColorRoles[i] is the entry of role i");

} // namespace

TColor RoleColor(const TOutputColors& AColors, TColorRole ARole) {
    const auto index = std::size_t(ARole);
    return index < ColorRoles.size() ? AColors.*ColorRoles[index].Color : AColors.Names;
}

std::string PlainText(const TTextRuns& ARuns) {
    std::string text;
    for (const auto& run : ARuns)
        text += run.Text;
    return text;
}

} // namespace kvaderon
