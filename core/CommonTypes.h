// The records shared by the engine, the window and the command line: the settings, the error of
// a TIFF file or an inversion, the answer to existing targets.
#pragma once

#include "Colors.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kvaderon {

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

} // namespace kvaderon
