#include "PluralForms.h"

namespace kvaderon {

const std::string& GetPluralForm(std::int64_t ACount, const std::string& AOne, const std::string& AFew,
                                 const std::string& AMany) {
    if (ACount == 0)
        return AMany;
    const std::int64_t count = ACount < 0 ? -ACount : ACount;
    const std::int64_t rem100 = count % 100;
    if (rem100 >= 11 && rem100 <= 14)
        return AMany;
    switch (count % 10) {
    case 1:
        return AOne;
    case 2:
    case 3:
    case 4:
        return AFew;
    default:
        return AMany;
    }
}

} // namespace kvaderon
