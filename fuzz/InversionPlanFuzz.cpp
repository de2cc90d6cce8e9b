// libFuzzer harness: raw bytes through the inverter's reader, strip table checks and plan, applied
// once in one pass and once in small chunks as the streamed pass cuts them; the two must agree.
#include "CommonTypes.h"
#include "InversionPlan.h"
#include "TiffStructureReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::vector<std::uint8_t> Applied(const kvaderon::TTiffStructure& AStructure, const std::uint8_t* AData,
                                  std::size_t ASize, std::size_t AChunk) {
    kvaderon::TInversionPlan plan(AStructure, ASize);
    std::vector<std::uint8_t> bytes(AData, AData + ASize);
    for (const auto& [start, end] : plan.Chunks(ASize, AChunk))
        plan.Apply(bytes.data() + start, std::size_t(end - start), start);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    try {
        const kvaderon::TTiffStructure structure = kvaderon::ParseTIFFStructure(AData, ASize);
        const auto whole = Applied(structure, AData, ASize, ASize + 2);
        const std::size_t chunk = 2 + ASize % 61;
        if (Applied(structure, AData, ASize, chunk) != whole)
            std::abort();
    } catch (const kvaderon::ETIFFError&) {
    }
    return 0;
}
