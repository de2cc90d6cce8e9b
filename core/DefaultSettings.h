// The settings the program starts from when nothing is stored: prefix, postfix, theme, log colours.
#pragma once

#include "CommonTypes.h"

namespace kvaderon {

inline constexpr char DefaultStyleName[] = "Windows10 Charcoal";
// The theme of a first start on a light desktop (DefaultStyleName on a dark one).
inline constexpr char DefaultLightStyleName[] = "Windows10";
inline constexpr int DefaultWindowWidth = 640;  // frame included
inline constexpr int DefaultWindowHeight = 480; // frame included

// B: the colours used on dark themes, W: on light themes.
TOutputColorsBW DefaultOutputColors();

// Prefix "! ", empty postfix, the default theme and the default colours.
TAppSettings DefaultAppSettings();

} // namespace kvaderon
