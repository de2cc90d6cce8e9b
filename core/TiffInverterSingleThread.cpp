#include "TiffInverterSingleThread.h"

#include "CommonTypes.h"
#include "FileRange.h"
#include "PathText.h"
#include "SampleInversion.h"
#include "TextFormat.h"
#include "TiffStructureReader.h"
#include "platform/FileOperations.h"
#include "platform/MappedFile.h"

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

bool IsStripSelected(std::uint32_t AOffset, std::uint32_t AByteCount, std::uint64_t AFileSize) {
    return AByteCount > 0 && IsRangeInside(AOffset, AByteCount, AFileSize);
}

[[noreturn]] void ThrowZeroSamplesPerPixel() {
    throw ETIFFError("Некорректное значение SamplesPerPixel = 0 (деление на ноль)");
}

} // namespace

bool TTIFFInverterSingle::InvertTIFF16Bit(const fs::path& AInputFile, const fs::path& AOutputFile,
                                          bool /*AAutoDetectColor*/) {
    try {
        if (!platform::FileExists(AInputFile))
            throw ETIFFError("Файл не существует: " + PathToUtf8(AInputFile));
        if (platform::IsSameFile(AInputFile, AOutputFile))
            throw ETIFFError("Входной и выходной пути указывают на один и тот же файл: " + PathToUtf8(AOutputFile));
        const fs::path tempFile = platform::CreateTempFileBeside(AOutputFile);
        try {
            InvertToTempFile(AInputFile, tempFile);
            platform::ReplaceFile(tempFile, AOutputFile);
        } catch (...) {
            platform::RemoveFileQuietly(tempFile);
            throw;
        }
        return true;
    } catch (const std::exception& error) {
        throw ETIFFError(
            FormatText("Системная ошибка при обработке %s: %s", {PathToUtf8(AInputFile), error.what()}));
    }
}

void TTIFFInverterSingle::InvertToTempFile(const fs::path& AInputFile, const fs::path& ATempFile) {
    platform::CopyFileData(AInputFile, ATempFile);
    {
        platform::TMappedFile mapped(ATempFile, platform::TMapAccess::maReadWrite);
        const TTIFFStructure structure = ParseTIFFStructure(mapped.View(), mapped.Size());
        InvertStrips(mapped.View(), mapped.Size(), structure);
    }
    // Writing through the mapping touched the modification time; the copy keeps the input's.
    platform::CopyModificationTime(AInputFile, ATempFile);
}

void TTIFFInverterSingle::InvertStrips(std::uint8_t* AView, std::uint64_t AFileSize, const TTIFFStructure& AStructure) {
    const auto& offsets = AStructure.StripOffsets;
    const auto& counts = AStructure.StripByteCounts;
    const std::uint16_t mask = AStructure.SampleFormat == 2 ? 0x7FFF : 0xFFFF;
    const std::uint16_t samplesPerPixel = AStructure.SamplesPerPixel;

    if (AStructure.PlanarConfiguration == 1) {
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            if (!IsStripSelected(offsets[i], counts[i], AFileSize) || counts[i] < 2)
                continue;
            if (samplesPerPixel == 0)
                ThrowZeroSamplesPerPixel();
            InvertChunkyStrip(AView + offsets[i], counts[i] / 2, samplesPerPixel, AStructure.ExtraSamples,
                              AStructure.PhotometricInterpretation, AStructure.BigEndian, mask);
        }
        return;
    }

    if (samplesPerPixel == 0)
        ThrowZeroSamplesPerPixel();
    if (offsets.size() % samplesPerPixel != 0)
        throw ETIFFError("Некорректная структура planar TIFF: StripCount не кратен SamplesPerPixel");
    const std::size_t stripsPerPlane = offsets.size() / samplesPerPixel;
    for (std::uint32_t plane = 0; plane < samplesPerPixel; ++plane) {
        if (IsAlphaChannel(plane, samplesPerPixel, AStructure.ExtraSamples, AStructure.PhotometricInterpretation))
            continue;
        for (std::size_t i = plane * stripsPerPlane; i < (plane + 1) * stripsPerPlane; ++i)
            if (IsStripSelected(offsets[i], counts[i], AFileSize))
                InvertPlanarStrip(AView + offsets[i], counts[i] / 2, AStructure.BigEndian, AStructure.SampleFormat, mask);
    }
}

} // namespace kvaderon
