// The bit-depth analysis: whether the 16-bit samples of a TIFF file really carry 16 bits.
#pragma once

#include "BitDepthVerdict.h"
#include "ChannelDepth.h"
#include "TiffImageMap.h"
#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kvaderon {

// Everything one analysis finds out about a file. A default-constructed record is the cleared
// state every analysis starts from. The structural fields (from ImageWidth on, and HasThumbnail)
// are filled only when the file's structure was accepted.
struct TBitDepthResult {
    bool IsActually8Bit = false;           // the samples show one of the four 8-bit patterns
    bool IsActually16Bit = false;          // the verdict is 16-bit, or every value 0xFFXX
    bool IsSignExtendedSuspicious = false; // every counted sample in 0xFF00..0xFFFF, and not 8-bit
    std::uint16_t MaxValue = 0;
    std::uint16_t MinValue = 65535; // stays 65535 when nothing was counted
    std::int32_t HighBit = 0;       // significant bits of MaxValue; 0 in amDepthOnly
    std::int64_t TotalSamples = 0;  // sum of all strip byte counts div 2
    std::int64_t TotalPixels = 0;   // width * height, or TotalSamples div SamplesPerPixel
    std::int32_t UniqueValueCount = 0;
    std::vector<std::uint16_t> UniqueValues; // distinct counted values in order of first
                                             // appearance; filled in amPrecise only
    bool HasThumbnail = false;               // a reduced-resolution image besides the first
    std::string Error;                       // empty, or the failure text
    std::string RejectionReason;             // empty, or why the file's structure was rejected
    std::uint16_t ImageWidth = 0;
    std::uint16_t ImageHeight = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint16_t Compression = 0;
    std::uint16_t SamplesPerPixel = 0;
    std::int32_t StripCount = 0;
    bool BigEndian = false;
    std::uint16_t PhotometricInterpretation = 0;
    std::vector<std::uint16_t> ExtraSamples;
    std::uint16_t PlanarConfiguration = 0;
    // Fewer than MinValuesForVerdict distinct colour values: no verdict, both verdict flags false.
    bool IsInconclusive = false;
    // What the report's verdict line says; the flags above follow it.
    TVerdict Verdict = TVerdict::vdNone;
    // The largest SignificantBits of the colour channels (of AllChannels beyond MaxChannelsReported).
    std::int32_t EffectiveBits = 0;
    // One per colour channel, in channel order; empty for more than MaxChannelsReported.
    std::vector<TChannelDepth> Channels;
    // The values of all colour channels together.
    TChannelDepth AllChannels;
    // Every image of the file, the first (the one analysed) first.
    std::vector<TTiffImage> Images;
};

// Files of more colour channels get the figures of all channels together only.
constexpr std::uint32_t MaxChannelsReported = 8;

// Both modes count the same samples and give the same verdict, extremes and unique count;
// amDepthOnly collects no UniqueValues and reports HighBit as 0.
enum class TAnalysisMode : std::uint8_t { amPrecise = 0, amDepthOnly = 1 };

// Receives the percentage done, between strips, on the caller's thread.
using TAnalysisProgress = std::function<void(int APercent)>;

// Reads a file in chunks and never writes to it; only regular files are opened. Every call returns
// a result: failures are reported in Error (and RejectionReason), with both verdict flags false.
// An instance may serve any number of calls.
class TTIFFBitDepthAnalyzer {
public:
    explicit TTIFFBitDepthAnalyzer(platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

    TBitDepthResult AnalyzeBitDepth(const std::filesystem::path& AFileName, TAnalysisMode AAnalysisMode) const;
    // AUpdateProgress may be empty.
    TBitDepthResult AnalyzeBitDepthWithProgress(const std::filesystem::path& AFileName, TAnalysisMode AAnalysisMode,
                                                const TAnalysisProgress& AUpdateProgress) const;
    // The same analysis of a file's bytes already held in memory, AView[0, AFileSize).
    TBitDepthResult AnalyzeBytes(const std::uint8_t* AView, std::uint64_t AFileSize, TAnalysisMode AAnalysisMode,
                                 const TAnalysisProgress& AUpdateProgress = {}) const;

private:
    platform::TFileSystem& FFileSystem;
};

} // namespace kvaderon
