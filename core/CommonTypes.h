// Records, enumerations and small helpers shared by the engine, the window and the command line.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvaderon {

// red + 256 * green + 65536 * blue; 0xFF000000 + n names system colour n.
using TColor = std::uint32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clSystemColorBase = 0xFF000000;

constexpr TColor RGBColor(std::uint8_t ARed, std::uint8_t AGreen, std::uint8_t ABlue) {
    return TColor(ARed) | (TColor(AGreen) << 8) | (TColor(ABlue) << 16);
}

// The colour roles of the log, in their stored order.
struct TOutputColors {
    TColor FileName = 0;
    TColor Names = 0;
    TColor Values = 0;
    TColor Separators = 0;
    TColor OK = 0;
    TColor Warning = 0;
    TColor Error = 0;

    bool operator==(const TOutputColors&) const = default;
};

// B is used while a dark theme is active, W while a light one is.
struct TOutputColorsBW {
    TOutputColors B;
    TOutputColors W;

    bool operator==(const TOutputColorsBW&) const = default;
};

struct TAppSettings {
    std::string Prefix;
    std::string Postfix;
    std::string LastStyle;
    bool InvertPreviews = false; // the uncompressed thumbnails of a file are inverted too
    TOutputColorsBW OutputColorsBW;
    bool VerifyAfterWrite = false; // read each positive back and check it before it takes its name

    bool operator==(const TAppSettings&) const = default;
};

// Carries one complete Russian message about a TIFF file or a failed inversion.
class ETIFFError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TFileConflictMode : std::uint8_t { fcmNone = 0, fcmOverwriteAll = 1, fcmSkipAll = 2 };

// The Russian plural form for ACount: "файл", "файла", "файлов".
const std::string& GetPluralForm(std::int64_t ACount, const std::string& AOne,
                                 const std::string& AFew, const std::string& AMany);

// Whether channel AChannel is an alpha channel that is neither inverted nor counted.
bool IsAlphaChannel(std::uint32_t AChannel, std::uint16_t ASamplesPerPixel,
                    const std::vector<std::uint16_t>& AExtraSamples,
                    std::uint16_t APhotometricInterpretation);

// Display name of a TIFF compression code; empty for an unknown code.
std::string_view CompressionName(std::uint32_t ACode);

} // namespace kvaderon
