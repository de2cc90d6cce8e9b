#include "AnalysisJson.h"

#include "JsonObject.h"

#include <cstdio>

namespace kvaderon::cli {

namespace {

// The length of the well-formed UTF-8 sequence at the start of AText, or 0.
std::size_t Utf8SequenceLength(std::string_view AText) {
    const auto byte = [&](std::size_t AIndex) { return static_cast<unsigned char>(AText[AIndex]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // the allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else
        return 0;
    if (AText.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

} // namespace

std::string JsonString(std::string_view AText) {
    std::string out = "\"";
    while (!AText.empty()) {
        const std::size_t length = Utf8SequenceLength(AText);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            AText.remove_prefix(1);
            continue;
        }
        const char c = AText[0];
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
                out += escaped;
            } else
                out.append(AText.substr(0, length));
        }
        AText.remove_prefix(length);
    }
    return out + "\"";
}

std::string AnalysisResultJson(const std::string& AFile, const TBitDepthResult& AResult) {
    TJsonObject json;
    json.Add("File", AFile);
    json.Add("IsActually8Bit", AResult.IsActually8Bit);
    json.Add("IsActually16Bit", AResult.IsActually16Bit);
    json.Add("IsSignExtendedSuspicious", AResult.IsSignExtendedSuspicious);
    json.Add("MaxValue", AResult.MaxValue);
    json.Add("MinValue", AResult.MinValue);
    json.Add("HighBit", AResult.HighBit);
    json.Add("TotalSamples", AResult.TotalSamples);
    json.Add("TotalPixels", AResult.TotalPixels);
    json.Add("UniqueValueCount", AResult.UniqueValueCount);
    json.Add("HasThumbnail", AResult.HasThumbnail);
    json.Add("Error", AResult.Error);
    json.Add("RejectionReason", AResult.RejectionReason);
    json.Add("ImageWidth", AResult.ImageWidth);
    json.Add("ImageHeight", AResult.ImageHeight);
    json.Add("BitsPerSample", AResult.BitsPerSample);
    json.Add("Compression", AResult.Compression);
    json.Add("SamplesPerPixel", AResult.SamplesPerPixel);
    json.Add("StripCount", AResult.StripCount);
    json.Add("IsBigEndian", AResult.IsBigEndian);
    json.Add("PhotometricInterpretation", AResult.PhotometricInterpretation);
    json.Add("ExtraSamples", AResult.ExtraSamples);
    json.Add("PlanarConfiguration", AResult.PlanarConfiguration);
    return json.Finish();
}

} // namespace kvaderon::cli
