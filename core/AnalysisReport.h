// The report of one file's bit-depth analysis: heading, verdict and a table of the file's facts.
#pragma once

#include "ColorText.h"
#include "TIFFBitDepthAnalyzer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kvaderon {

// The width of the report's table and separator lines, in characters.
constexpr int ReportLineLength = 83;

// The file name (bold), the verdict, the effective depth of each colour channel (three lines a
// channel), the list of the file's images when it holds more than one, a separator line, six rows of two name-value
// pairs whose second pairs start in one column, a separator line and an empty line; or, when the analysis failed, the
// single line "ОШИБКА: " + AFileName + ": " + Error. AFileName is shown as given.
TTextRuns BuildAnalysisReport(const std::string& AFileName, const TBitDepthResult& AResult);

// Display name of a TIFF PhotometricInterpretation code, "Неизвестно [n]" for an unknown one.
std::string PhotometricName(std::uint16_t ACode);

// The report's estimate of the alpha channels: the ExtraSamples entries of 1 or 2, or without
// ExtraSamples the channels beyond those of the colour model.
int AlphaCountEstimate(std::uint16_t ASamplesPerPixel, const std::vector<std::uint16_t>& AExtraSamples,
                       std::uint16_t APhotometricInterpretation);

} // namespace kvaderon
