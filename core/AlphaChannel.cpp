#include "AlphaChannel.h"

namespace kvaderon {

bool IsAlphaChannel(std::uint32_t AChannel, std::uint16_t ASamplesPerPixel,
                    const std::vector<std::uint16_t>& AExtraSamples, std::uint16_t APhotometricInterpretation) {
    if (ASamplesPerPixel < 2 || AChannel >= ASamplesPerPixel)
        return false;
    if (!AExtraSamples.empty()) {
        // The extra samples are the last channels of a pixel, one ExtraSamples value each.
        const std::uint32_t extra = ExtraSampleNumber(AChannel, ASamplesPerPixel, AExtraSamples);
        return extra > 0 && (AExtraSamples[extra - 1] == 1 || AExtraSamples[extra - 1] == 2);
    }
    return AChannel == ASamplesPerPixel - 1u && ((APhotometricInterpretation == 1 && ASamplesPerPixel == 2) ||
                                                 (APhotometricInterpretation == 2 && ASamplesPerPixel == 4) ||
                                                 (APhotometricInterpretation == 5 && ASamplesPerPixel == 5));
}

std::vector<std::uint32_t> ColourChannels(std::uint16_t ASamplesPerPixel,
                                          const std::vector<std::uint16_t>& AExtraSamples,
                                          std::uint16_t APhotometricInterpretation) {
    std::vector<std::uint32_t> channels;
    for (std::uint32_t channel = 0; channel < ASamplesPerPixel; ++channel)
        if (!IsAlphaChannel(channel, ASamplesPerPixel, AExtraSamples, APhotometricInterpretation))
            channels.push_back(channel);
    return channels;
}

std::uint32_t ExtraSampleNumber(std::uint32_t AChannel, std::uint16_t ASamplesPerPixel,
                                const std::vector<std::uint16_t>& AExtraSamples) {
    const std::int64_t extra = std::int64_t(AChannel) + std::int64_t(AExtraSamples.size()) - ASamplesPerPixel;
    return extra >= 0 && AChannel < ASamplesPerPixel ? std::uint32_t(extra + 1) : 0;
}

} // namespace kvaderon
