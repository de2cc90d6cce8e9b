// The proof that a positive is the exact inversion of its negative: same length, every byte
// outside the inverted samples identical, every inverted sample the inverse, checked in one
// streamed pass over both files with the inverter's own reader and rules.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace kvaderon {

enum class TDifferenceKind {
    dkNone,
    dkLength,       // the files differ in length
    dkOutsideImage, // a byte outside the strips
    dkSampleNotInverted,
    dkKeptSampleChanged // a byte of a strip the inversion keeps (alpha, the odd last byte of a strip)
};

struct TVerification {
    TDifferenceKind Kind = TDifferenceKind::dkNone;
    std::uint64_t Offset = 0; // of the first difference; for a length, the shorter file's length
    bool Holds() const { return Kind == TDifferenceKind::dkNone; }
};

// Compares APositive with the inversion of ANegative (with AInvertPreviews, as inverted with its
// uncompressed thumbnails). The negative's structure is read and checked
// as the inverter does: a negative it refuses raises ETIFFError with the inverter's reason, a
// failed read ESystemError naming its file (the positive as APositivePath).
TVerification CompareWithInversion(platform::TFile& ANegative, const std::filesystem::path& ANegativePath,
                                   platform::TFile& APositive, const std::filesystem::path& APositivePath,
                                   bool AInvertPreviews = false);

// Opens both files and compares them; every failure raises ETIFFError
// "Не удалось проверить <positive>: <reason>".
TVerification VerifyInversion(platform::TFileSystem& AFileSystem, const std::filesystem::path& ANegative,
                              const std::filesystem::path& APositive, bool AInvertPreviews = false);

// "байт вне изображения изменён", ...; empty for dkNone.
std::string DifferenceKindText(TDifferenceKind AKind);
// "ОК! (проверено)", or "Первое отличие на смещении 1234: сэмпл не инвертирован".
std::string VerificationText(const TVerification& AVerification);

} // namespace kvaderon
