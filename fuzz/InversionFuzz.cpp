// libFuzzer harness: raw bytes as a file of an in-memory file system, inverted end to end (reader,
// strip table checks, streamed pass, rename). A success must give exactly what a plain per-sample
// model of the inversion rule gives; a failure must leave the input alone and no other file.
#include "AlphaChannel.h"
#include "CommonTypes.h"
#include "MemoryFileSystem.h"
#include "TiffInverterSingleThread.h"
#include "TiffStructureReader.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

namespace {

using kvaderon::TTiffStructure;
using TBytes = std::vector<std::uint8_t>;

std::uint16_t SampleAt(const TBytes& ABytes, std::size_t AOffset, bool ABigEndian) {
    const std::uint8_t first = ABytes[AOffset], second = ABytes[AOffset + 1];
    return ABigEndian ? std::uint16_t(first << 8 | second) : std::uint16_t(second << 8 | first);
}

void PutSample(TBytes& ABytes, std::size_t AOffset, bool ABigEndian, std::uint16_t AValue) {
    ABytes[AOffset + (ABigEndian ? 0 : 1)] = std::uint8_t(AValue >> 8);
    ABytes[AOffset + (ABigEndian ? 1 : 0)] = std::uint8_t(AValue);
}

// The rule sample by sample: Mask - s for colour channels, the mask 0x7FFF for signed samples
// (the sign bit stays) and 0xFFFF for unsigned ones, in both layouts; no other SampleFormat is
// inverted. A block of image data named by several strips is inverted once.
TBytes ModelInversion(const TTiffStructure& AFile, TBytes ABytes) {
    if (AFile.SampleFormat != 1 && AFile.SampleFormat != 2)
        __builtin_trap(); // samples that are not integers were inverted
    const std::uint16_t mask = AFile.SampleFormat == 2 ? 0x7FFF : 0xFFFF;
    const std::uint16_t channels = AFile.SamplesPerPixel;
    const std::size_t strips = AFile.StripOffsets.size();
    std::set<std::pair<std::uint32_t, std::uint32_t>> done;
    for (std::size_t i = 0; i < strips; ++i) {
        const std::uint32_t offset = AFile.StripOffsets[i], count = AFile.StripByteCounts[i];
        if (count == 0 || !done.insert({offset, count}).second)
            continue;
        if (std::uint64_t(offset) + count > ABytes.size())
            __builtin_trap(); // the inverter accepted a strip outside the file
        if (channels == 0 && count >= 2)
            __builtin_trap(); // samples inverted without knowing their channels
        const bool planar = AFile.PlanarConfiguration == 2;
        const std::uint32_t plane = planar ? std::uint32_t(i / (strips / channels)) : 0;
        for (std::size_t j = 0; j < count / 2; ++j) {
            const auto channel = planar ? plane : std::uint32_t(j % channels);
            if (kvaderon::IsAlphaChannel(channel, channels, AFile.ExtraSamples, AFile.PhotometricInterpretation))
                continue;
            const std::size_t at = offset + 2 * j;
            const std::uint16_t sample = SampleAt(ABytes, at, AFile.BigEndian);
            PutSample(ABytes, at, AFile.BigEndian, std::uint16_t(mask - sample));
        }
    }
    return ABytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    const TBytes input(AData, AData + ASize);
    kvaderon::test::TMemoryFileSystem files;
    files.Write("/in/scan.tif", input);
    bool inverted = false;
    try {
        inverted = kvaderon::TTIFFInverterSingle(files).InvertTIFF16Bit("/in/scan.tif", "/out/scan.tif");
    } catch (const kvaderon::ETIFFError&) {
    }
    if (files.Node("/in/scan.tif").Bytes != input || files.OpenFiles() != 0)
        __builtin_trap();
    if (!inverted) {
        if (files.Paths().size() != 1)
            __builtin_trap(); // an output or a temporary file remains after a failure
        return 0;
    }
    // The structure reader must have accepted what the inverter inverted.
    const TTiffStructure structure = kvaderon::ParseTIFFStructure(AData, ASize);
    if (files.Node("/out/scan.tif").Bytes != ModelInversion(structure, input) || files.Paths().size() != 2)
        __builtin_trap();
    return 0;
}
