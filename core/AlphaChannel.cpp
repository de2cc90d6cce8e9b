#include "AlphaChannel.h"

namespace kvaderon {

bool IsAlphaChannel(std::uint32_t AChannel, std::uint16_t ASamplesPerPixel,
                    const std::vector<std::uint16_t>& AExtraSamples, std::uint16_t APhotometricInterpretation) {
    if (ASamplesPerPixel < 2 || AChannel != std::uint32_t(ASamplesPerPixel) - 1)
        return false;
    if (!AExtraSamples.empty())
        return AExtraSamples.back() == 1 || AExtraSamples.back() == 2;
    return (APhotometricInterpretation == 1 && ASamplesPerPixel == 2) ||
           (APhotometricInterpretation == 2 && ASamplesPerPixel == 4) ||
           (APhotometricInterpretation == 5 && ASamplesPerPixel == 5);
}

} // namespace kvaderon
