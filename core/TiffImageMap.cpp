#include "TiffImageMap.h"

namespace kvaderon {

std::string_view RoleWord(TImageRole ARole) {
    switch (ARole) {
    case TImageRole::irMain:
        return "main";
    case TImageRole::irReduced:
        return "reduced";
    case TImageRole::irPage:
        return "page";
    case TImageRole::irMask:
        return "mask";
    }
    return "page";
}

std::string_view RoleText(TImageRole ARole) {
    switch (ARole) {
    case TImageRole::irMain:
        return "основное изображение";
    case TImageRole::irReduced:
        return "уменьшенная копия";
    case TImageRole::irPage:
        return "другая страница";
    case TImageRole::irMask:
        return "маска прозрачности";
    }
    return {};
}

} // namespace kvaderon
