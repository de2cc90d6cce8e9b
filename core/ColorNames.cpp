#include "ColorNames.h"

#include "IniFile.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>

namespace kvaderon {

namespace {

// A colour written the web's way, 0xRRGGBB.
constexpr TColor Web(std::uint32_t ARgb) {
    return RGBColor(std::uint8_t(ARgb >> 16), std::uint8_t(ARgb >> 8), std::uint8_t(ARgb));
}

constexpr TColor System(std::uint32_t AIndex) {
    return clSystemColorBase + AIndex;
}

constexpr std::array<TColorName, 185> ColorNameTable{{
    {"clBlack", Web(0x000000)},
    {"clMaroon", Web(0x800000)},
    {"clGreen", Web(0x008000)},
    {"clOlive", Web(0x808000)},
    {"clNavy", Web(0x000080)},
    {"clPurple", Web(0x800080)},
    {"clTeal", Web(0x008080)},
    {"clGray", Web(0x808080)},
    {"clSilver", Web(0xC0C0C0)},
    {"clRed", Web(0xFF0000)},
    {"clLime", Web(0x00FF00)},
    {"clYellow", Web(0xFFFF00)},
    {"clBlue", Web(0x0000FF)},
    {"clFuchsia", Web(0xFF00FF)},
    {"clAqua", Web(0x00FFFF)},
    {"clWhite", Web(0xFFFFFF)},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", System(10)},
    {"clActiveCaption", System(2)},
    {"clAppWorkSpace", System(12)},
    {"clBackground", System(1)},
    {"clBtnFace", System(15)},
    {"clBtnHighlight", System(20)},
    {"clBtnShadow", System(16)},
    {"clBtnText", System(18)},
    {"clCaptionText", System(9)},
    {"clDefault", clDefault},
    {"clGradientActiveCaption", System(27)},
    {"clGradientInactiveCaption", System(28)},
    {"clGrayText", System(17)},
    {"clHighlight", System(13)},
    {"clHighlightText", System(14)},
    {"clHotLight", System(26)},
    {"clInactiveBorder", System(11)},
    {"clInactiveCaption", System(3)},
    {"clInactiveCaptionText", System(19)},
    {"clInfoBk", System(24)},
    {"clInfoText", System(23)},
    {"clMenu", System(4)},
    {"clMenuBar", System(30)},
    {"clMenuHighlight", System(29)},
    {"clMenuText", System(7)},
    {"clNone", clNone},
    {"clScrollBar", System(0)},
    {"cl3DDkShadow", System(21)},
    {"cl3DLight", System(22)},
    {"clWindow", System(5)},
    {"clWindowFrame", System(6)},
    {"clWindowText", System(8)},
    {"clAliceblue", Web(0xF0F8FF)},
    {"clAntiquewhite", Web(0xFAEBD7)},
    {"clAquamarine", Web(0x7FFFD4)},
    {"clAzure", Web(0xF0FFFF)},
    {"clBeige", Web(0xF5F5DC)},
    {"clBisque", Web(0xFFE4C4)},
    {"clBlanchedalmond", Web(0xFFEBCD)},
    {"clBlueviolet", Web(0x8A2BE2)},
    {"clBrown", Web(0xA52A2A)},
    {"clBurlywood", Web(0xDEB887)},
    {"clCadetblue", Web(0x5F9EA0)},
    {"clChartreuse", Web(0x7FFF00)},
    {"clChocolate", Web(0xD2691E)},
    {"clCoral", Web(0xFF7F50)},
    {"clCornflowerblue", Web(0x6495ED)},
    {"clCornsilk", Web(0xFFF8DC)},
    {"clCrimson", Web(0xDC143C)},
    {"clCyan", Web(0x00FFFF)},
    {"clDarkblue", Web(0x00008B)},
    {"clDarkcyan", Web(0x008B8B)},
    {"clDarkgoldenrod", Web(0xB8860B)},
    {"clDarkgray", Web(0xA9A9A9)},
    {"clDarkgreen", Web(0x006400)},
    {"clDarkgrey", Web(0xA9A9A9)},
    {"clDarkkhaki", Web(0xBDB76B)},
    {"clDarkmagenta", Web(0x8B008B)},
    {"clDarkolivegreen", Web(0x556B2F)},
    {"clDarkorange", Web(0xFF8C00)},
    {"clDarkorchid", Web(0x9932CC)},
    {"clDarkred", Web(0x8B0000)},
    {"clDarksalmon", Web(0xE9967A)},
    {"clDarkseagreen", Web(0x8FBC8F)},
    {"clDarkslateblue", Web(0x483D8B)},
    {"clDarkslategray", Web(0x2F4F4F)},
    {"clDarkslategrey", Web(0x2F4F4F)},
    {"clDarkturquoise", Web(0x00CED1)},
    {"clDarkviolet", Web(0x9400D3)},
    {"clDeeppink", Web(0xFF1493)},
    {"clDeepskyblue", Web(0x00BFFF)},
    {"clDimgray", Web(0x696969)},
    {"clDimgrey", Web(0x696969)},
    {"clDodgerblue", Web(0x1E90FF)},
    {"clFirebrick", Web(0xB22222)},
    {"clFloralwhite", Web(0xFFFAF0)},
    {"clForestgreen", Web(0x228B22)},
    {"clGainsboro", Web(0xDCDCDC)},
    {"clGhostwhite", Web(0xF8F8FF)},
    {"clGold", Web(0xFFD700)},
    {"clGoldenrod", Web(0xDAA520)},
    {"clGreenyellow", Web(0xADFF2F)},
    {"clGrey", Web(0x808080)},
    {"clHoneydew", Web(0xF0FFF0)},
    {"clHotpink", Web(0xFF69B4)},
    {"clIndianred", Web(0xCD5C5C)},
    {"clIndigo", Web(0x4B0082)},
    {"clIvory", Web(0xFFFFF0)},
    {"clKhaki", Web(0xF0E68C)},
    {"clLavender", Web(0xE6E6FA)},
    {"clLavenderblush", Web(0xFFF0F5)},
    {"clLawngreen", Web(0x7CFC00)},
    {"clLemonchiffon", Web(0xFFFACD)},
    {"clLightblue", Web(0xADD8E6)},
    {"clLightcoral", Web(0xF08080)},
    {"clLightcyan", Web(0xE0FFFF)},
    {"clLightgoldenrodyellow", Web(0xFAFAD2)},
    {"clLightgray", Web(0xD3D3D3)},
    {"clLightgreen", Web(0x90EE90)},
    {"clLightgrey", Web(0xD3D3D3)},
    {"clLightpink", Web(0xFFB6C1)},
    {"clLightsalmon", Web(0xFFA07A)},
    {"clLightseagreen", Web(0x20B2AA)},
    {"clLightskyblue", Web(0x87CEFA)},
    {"clLightslategray", Web(0x778899)},
    {"clLightslategrey", Web(0x778899)},
    {"clLightsteelblue", Web(0xB0C4DE)},
    {"clLightyellow", Web(0xFFFFE0)},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clLegacySkyBlue", 0xF0CAA6},
    {"clLimegreen", Web(0x32CD32)},
    {"clLinen", Web(0xFAF0E6)},
    {"clMagenta", Web(0xFF00FF)},
    {"clMediumaquamarine", Web(0x66CDAA)},
    {"clMediumblue", Web(0x0000CD)},
    {"clMediumorchid", Web(0xBA55D3)},
    {"clMediumpurple", Web(0x9370DB)},
    {"clMediumseagreen", Web(0x3CB371)},
    {"clMediumslateblue", Web(0x7B68EE)},
    {"clMediumspringgreen", Web(0x00FA9A)},
    {"clMediumturquoise", Web(0x48D1CC)},
    {"clMediumvioletred", Web(0xC71585)},
    {"clMidnightblue", Web(0x191970)},
    {"clMintcream", Web(0xF5FFFA)},
    {"clMistyrose", Web(0xFFE4E1)},
    {"clMoccasin", Web(0xFFE4B5)},
    {"clNavajowhite", Web(0xFFDEAD)},
    {"clOldlace", Web(0xFDF5E6)},
    {"clOlivedrab", Web(0x6B8E23)},
    {"clOrange", Web(0xFFA500)},
    {"clOrangered", Web(0xFF4500)},
    {"clOrchid", Web(0xDA70D6)},
    {"clPalegoldenrod", Web(0xEEE8AA)},
    {"clPalegreen", Web(0x98FB98)},
    {"clPaleturquoise", Web(0xAFEEEE)},
    {"clPalevioletred", Web(0xDB7093)},
    {"clPapayawhip", Web(0xFFEFD5)},
    {"clPeachpuff", Web(0xFFDAB9)},
    {"clPeru", Web(0xCD853F)},
    {"clPink", Web(0xFFC0CB)},
    {"clPlum", Web(0xDDA0DD)},
    {"clPowderblue", Web(0xB0E0E6)},
    {"clRosybrown", Web(0xBC8F8F)},
    {"clRoyalblue", Web(0x4169E1)},
    {"clSaddlebrown", Web(0x8B4513)},
    {"clSalmon", Web(0xFA8072)},
    {"clSandybrown", Web(0xF4A460)},
    {"clSeagreen", Web(0x2E8B57)},
    {"clSeashell", Web(0xFFF5EE)},
    {"clSienna", Web(0xA0522D)},
    {"clSlateblue", Web(0x6A5ACD)},
    {"clSlategray", Web(0x708090)},
    {"clSlategrey", Web(0x708090)},
    {"clSnow", Web(0xFFFAFA)},
    {"clSpringgreen", Web(0x00FF7F)},
    {"clSteelblue", Web(0x4682B4)},
    {"clTan", Web(0xD2B48C)},
    {"clThistle", Web(0xD8BFD8)},
    {"clTomato", Web(0xFF6347)},
    {"clTurquoise", Web(0x40E0D0)},
    {"clViolet", Web(0xEE82EE)},
    {"clWheat", Web(0xF5DEB3)},
    {"clWhitesmoke", Web(0xF5F5F5)},
    {"clYellowgreen", Web(0x9ACD32)},
}};

std::optional<TColor> WebColor(std::string_view AText) {
    if (!AText.starts_with('#') || (AText.size() != 7 && AText.size() != 4))
        return std::nullopt;
    std::string digits(AText.substr(1));
    if (digits.size() == 3)
        digits = {digits[0], digits[0], digits[1], digits[1], digits[2], digits[2]};
    std::uint32_t rgb = 0;
    const char* end = digits.data() + digits.size();
    const auto [next, error] = std::from_chars(digits.data(), end, rgb, 16);
    if (error != std::errc() || next != end)
        return std::nullopt;
    return Web(rgb);
}

} // namespace

std::span<const TColorName> ColorNames() {
    return ColorNameTable;
}

std::string ColorToString(TColor AColor) {
    for (const TColorName& name : ColorNameTable)
        if (name.Color == AColor)
            return name.Name;
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text = "$";
    for (int shift = 28; shift >= 0; shift -= 4)
        text += digits[(AColor >> shift) & 0xF];
    return text;
}

TColor StringToColor(std::string_view AText) {
    for (const TColorName& name : ColorNameTable)
        if (EqualIgnoringAsciiCase(name.Name, AText))
            return name.Color;
    // A number may be written signed, as colours are stored by programs that keep them in an int.
    if (const std::optional<std::int64_t> number = ParseIniNumber(AText))
        if (*number >= std::numeric_limits<std::int32_t>::min() && *number <= std::numeric_limits<std::uint32_t>::max())
            return TColor(*number);
    if (const std::optional<TColor> color = WebColor(AText))
        return *color;
    throw std::invalid_argument("Неверное значение цвета: \"" + std::string(AText) + "\"");
}

} // namespace kvaderon
