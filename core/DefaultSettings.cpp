#include "DefaultSettings.h"

namespace kvaderon {

TOutputColorsBW DefaultOutputColors() {
    TOutputColorsBW colors;
    colors.B = {
        .FileName = RGBColor(255, 255, 255),
        .Names = RGBColor(211, 211, 211),
        .Values = RGBColor(255, 255, 0),
        .Separators = RGBColor(255, 255, 255),
        .OK = RGBColor(50, 205, 50),
        .Warning = RGBColor(218, 165, 32),
        .Error = RGBColor(255, 128, 128),
    };
    colors.W = {
        .FileName = RGBColor(0, 0, 0),
        .Names = RGBColor(17, 17, 17),
        .Values = RGBColor(0, 0, 128),
        .Separators = RGBColor(0, 0, 0),
        .OK = RGBColor(0, 128, 0),
        .Warning = RGBColor(185, 116, 0),
        .Error = RGBColor(255, 0, 0),
    };
    return colors;
}

TAppSettings DefaultAppSettings() {
    TAppSettings settings;
    settings.Prefix = "! ";
    settings.Postfix = "";
    settings.LastStyle = DefaultStyleName;
    settings.OutputColorsBW = DefaultOutputColors();
    return settings;
}

} // namespace kvaderon
