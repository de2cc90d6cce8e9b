// libFuzzer harness: raw bytes to the bit-depth analysis, which must always return a result.
#include "TIFFBitDepthAnalyzer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    const kvaderon::TTIFFBitDepthAnalyzer analyzer;
    for (auto mode : {kvaderon::TAnalysisMode::amPrecise, kvaderon::TAnalysisMode::amDepthOnly}) {
        const kvaderon::TBitDepthResult result = analyzer.AnalyzeBytes(AData, ASize, mode, [](int) {});
        if (!result.Error.empty() && (result.IsActually8Bit || result.IsActually16Bit))
            __builtin_trap();
    }
    return 0;
}
