// libFuzzer harness: raw bytes to the inverter's structure reader.
#include "CommonTypes.h"
#include "TiffStructureReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    try {
        kvaderon::ParseTIFFStructure(AData, ASize);
    } catch (const kvaderon::ETIFFError&) {
    }
    return 0;
}
