#include "Verification.h"

#include "ByteSource.h"
#include "ChunkReader.h"
#include "CommonTypes.h"
#include "InversionPlan.h"
#include "OutcomeLine.h"
#include "PathText.h"
#include "RetryableFailure.h"
#include "TextFormat.h"
#include "TiffStructureReader.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

bool InsideAStrip(const TTiffStructure& AStructure, std::uint64_t AOffset) {
    const auto& offsets = AStructure.StripOffsets;
    const auto& counts = AStructure.StripByteCounts;
    for (std::size_t i = 0; i < offsets.size() && i < counts.size(); ++i)
        if (AOffset >= offsets[i] && AOffset - offsets[i] < counts[i])
            return true;
    return false;
}

// Failures on the positive are told with APath, which may be another name than the file's own (the
// target of a temporary file).
template <typename TAction> auto OnPositive(const fs::path& APath, TAction AAction) {
    try {
        return AAction();
    } catch (const platform::ESystemError& error) {
        platform::ThrowSystemError("Не удалось прочитать файл " + PathToUtf8(APath), error.Code());
    }
}

TDifferenceKind KindAt(const TTiffStructure& AStructure, const TInversionPlan& APlan, std::uint64_t AOffset) {
    if (APlan.Inverts(AOffset))
        return TDifferenceKind::dkSampleNotInverted;
    return InsideAStrip(AStructure, AOffset) ? TDifferenceKind::dkKeptSampleChanged : TDifferenceKind::dkOutsideImage;
}

} // namespace

TVerification CompareWithInversion(platform::TFile& ANegative, const fs::path& ANegativePath,
                                   platform::TFile& APositive, const fs::path& APositivePath, bool AInvertPreviews) {
    const std::uint64_t size = ANegative.Info().Size;
    const std::uint64_t positiveSize = OnPositive(APositivePath, [&] { return APositive.Info().Size; });
    const TFileBytes bytes(ANegative, size, ANegativePath);
    const TInversionPlan plan = PlanInversion(bytes, AInvertPreviews);
    if (positiveSize != size)
        return {TDifferenceKind::dkLength, std::min(size, positiveSize)};

    const auto chunks = plan.Chunks(size, ReadChunkBytes);
    const TFileBytes positive(APositive, size, APositivePath);
    TChunkReader negativeReader(bytes, chunks);
    TChunkReader positiveReader(positive, chunks);
    for (const auto& [position, end] : chunks) {
        const auto length = std::size_t(end - position);
        std::uint8_t* expected = negativeReader.Next();
        const std::uint8_t* actual = OnPositive(APositivePath, [&] { return positiveReader.Next(); });
        plan.Apply(expected, length, position);
        if (std::memcmp(expected, actual, length) != 0) {
            const std::uint8_t* first = std::mismatch(expected, expected + length, actual).first;
            const std::uint64_t offset = position + std::uint64_t(first - expected);
            return {KindAt(plan.Structure(), plan, offset), offset};
        }
        negativeReader.Release();
        positiveReader.Release();
    }
    return {};
}

TVerification VerifyInversion(platform::TFileSystem& AFileSystem, const fs::path& ANegative, const fs::path& APositive,
                              bool AInvertPreviews) {
    try {
        const std::unique_ptr<platform::TFile> negative = AFileSystem.OpenRead(ANegative);
        const std::unique_ptr<platform::TFile> positive = AFileSystem.OpenRead(APositive);
        return CompareWithInversion(*negative, ANegative, *positive, APositive, AInvertPreviews);
    } catch (const std::exception& error) {
        throw ESystemFailure(FormatText("Не удалось проверить %s: %s", {PathToUtf8(APositive), error.what()}),
                             SystemErrorOf(error));
    }
}

std::string DifferenceKindText(TDifferenceKind AKind) {
    switch (AKind) {
    case TDifferenceKind::dkNone:
        return "";
    case TDifferenceKind::dkLength:
        return "длина отличается";
    case TDifferenceKind::dkOutsideImage:
        return "байт вне изображения изменён";
    case TDifferenceKind::dkSampleNotInverted:
        return "сэмпл не инвертирован";
    case TDifferenceKind::dkKeptSampleChanged:
        return "изменён байт изображения, который не инвертируется";
    }
    return "";
}

std::string VerificationText(const TVerification& AVerification) {
    if (AVerification.Holds())
        return SuccessMessage({}, true);
    return FormatText("Первое отличие на смещении %s: %s",
                      {std::to_string(AVerification.Offset), DifferenceKindText(AVerification.Kind)});
}

} // namespace kvaderon
