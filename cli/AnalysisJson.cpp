#include "AnalysisJson.h"

#include "JsonObject.h"
#include "TerminalText.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kvaderon::cli {

namespace {

std::string JsonArray(const std::vector<std::string>& AValues) {
    std::string text = "[";
    for (std::size_t i = 0; i < AValues.size(); ++i)
        text += (i > 0 ? "," : "") + AValues[i];
    return text + "]";
}

// The verdict in one fixed word.
std::string_view VerdictText(const TBitDepthResult& AResult) {
    return AResult.Error.empty() ? VerdictWord(AResult.Verdict) : "error";
}

// Without a verdict both flags are null.
std::string VerdictFlag(const TBitDepthResult& AResult, bool AFlag) {
    return AResult.IsInconclusive ? "null" : AFlag ? "true" : "false";
}

std::string ChannelJson(const TChannelDepth& ADepth) {
    TJsonObject json;
    json.Add("SignificantBits", ADepth.SignificantBits);
    json.AddJson("HighestBit", ADepth.HighestBit < 0 ? "null" : std::to_string(ADepth.HighestBit));
    json.Add("DistinctValues", ADepth.DistinctValues);
    char levels[32];
    std::snprintf(levels, sizeof levels, "%.1f", ADepth.LevelsUsedPercent());
    json.AddJson("LevelsUsed", levels);
    json.Add("LevelsPossible", ADepth.LevelsPossible);
    json.Add("MinValue", ADepth.MinValue);
    json.Add("MaxValue", ADepth.MaxValue);
    json.Add("Pattern", std::string(PatternWord(ADepth.Pattern)));
    json.AddJson("PatternBits", ADepth.PatternBits() > 0 ? std::to_string(ADepth.PatternBits()) : "null");
    return json.Finish();
}

std::string ImageJson(const TTiffImage& AImage) {
    TJsonObject json;
    json.Add("Where", AImage.Where);
    json.Add("Role", std::string(RoleWord(AImage.Role)));
    json.Add("Width", AImage.Width);
    json.Add("Height", AImage.Height);
    json.Add("BitsPerSample", AImage.Bits());
    json.Add("SamplesPerPixel", AImage.SamplesPerPixel);
    json.Add("Compression", AImage.Compression);
    return json.Finish();
}

} // namespace

bool IsUtf8(std::string_view AText) {
    while (!AText.empty()) {
        const std::size_t length = Utf8SequenceLength(AText);
        if (length == 0)
            return false;
        AText.remove_prefix(length);
    }
    return true;
}

std::string HexBytes(std::string_view AText) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : AText) {
        hex += digits[static_cast<unsigned char>(c) >> 4];
        hex += digits[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

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
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
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
    json.AddPath("File", AFile);
    json.AddJson("IsActually8Bit", VerdictFlag(AResult, AResult.IsActually8Bit));
    json.AddJson("IsActually16Bit", VerdictFlag(AResult, AResult.IsActually16Bit));
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
    json.Add("IsBigEndian", AResult.BigEndian);
    json.Add("PhotometricInterpretation", AResult.PhotometricInterpretation);
    json.Add("ExtraSamples", AResult.ExtraSamples);
    json.Add("PlanarConfiguration", AResult.PlanarConfiguration);
    json.Add("Verdict", std::string(VerdictText(AResult)));
    json.Add("EffectiveBits", AResult.EffectiveBits);
    std::vector<std::string> channels;
    for (const TChannelDepth& depth : AResult.Channels)
        channels.push_back(ChannelJson(depth));
    json.AddJson("Channels", JsonArray(channels));
    std::vector<std::string> images;
    for (const TTiffImage& image : AResult.Images)
        images.push_back(ImageJson(image));
    json.AddJson("Images", JsonArray(images));
    return json.Finish();
}

} // namespace kvaderon::cli
