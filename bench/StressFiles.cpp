#include "StressFiles.h"

#include "CommonTypes.h"
#include "MemoryFileSystem.h"
#include "PathText.h"
#include "TiffInverterSingleThread.h"
#include "TiffSamples.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <regex>
#include <sstream>

#include <unistd.h>

namespace kvaderon::bench {

namespace {

using namespace kvaderon::test;
namespace fs = std::filesystem;

TImageLayout GoodLayout(int AIndex) {
    TImageLayout layout;
    layout.SamplesPerPixel = AIndex % 2 == 0 ? 1 : 3;
    layout.Photometric = layout.SamplesPerPixel == 3 ? 2 : 1;
    layout.Planar = AIndex % 3 == 0 ? 2 : 1;
    layout.BigEndian = AIndex % 7 == 0;
    layout.Width = 16;
    layout.Height = 8;
    layout.StripsPerPlane = 2;
    layout.Samples.resize(SampleCount(layout));
    for (std::size_t i = 0; i < layout.Samples.size(); ++i)
        layout.Samples[i] = std::uint16_t(AIndex * 7919 + i * 131);
    return layout;
}

// The engine's own message for a file it refuses; nothing for one it accepts.
std::string RefusalOf(const fs::path& AInput, const TBytes& ABytes, const fs::path& ATarget) {
    TMemoryFileSystem files;
    files.Write(AInput, ABytes);
    try {
        TTIFFInverterSingle(files).InvertTIFF16Bit(AInput, ATarget);
    } catch (const ETIFFError& error) {
        return error.what();
    }
    return {};
}

} // namespace

std::vector<TStressFile> WriteStressFiles(const fs::path& AIn, const fs::path& AOut, int ACount) {
    std::vector<TNamedFile> malformed;
    for (TNamedFile& file : MalformedTiffs())
        if (!RefusalOf("/probe.tif", file.Bytes, "/out/probe.tif").empty())
            malformed.push_back(std::move(file));
    std::vector<TStressFile> expected;
    for (int i = 0; i < ACount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%04d.tif", i);
        const fs::path input = AIn / name;
        if (i % 5 == 4) {
            const TNamedFile& bad = malformed[std::size_t(i / 5) % malformed.size()];
            WriteFile(input, bad.Bytes);
            expected.push_back({input, {}, RefusalOf(input, bad.Bytes, AOut / name)});
            continue;
        }
        TImageLayout layout = GoodLayout(i);
        WriteFile(input, BuildImage(layout).Build());
        for (auto& sample : layout.Samples)
            sample = std::uint16_t(0xFFFF - sample);
        expected.push_back({input, BuildImage(layout).Build(), {}});
    }
    return expected;
}

int CheckStressRun(const std::string& AOutcomeLines, const std::string& ASummary,
                   const std::vector<TStressFile>& AFiles, std::size_t ACount, const fs::path& AOut) {
    std::map<std::string, std::string> messages;
    const std::regex outcome(R"(^\d+\. \d\d:\d\d:\d\d ([^:]+): (.*)$)");
    const std::regex summary(R"(Готово: обработан\S* (\d+), пропущен\S* (\d+), ошиб\S* (\d+))");
    std::istringstream lines(AOutcomeLines);
    std::smatch match;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_match(line, match, outcome))
            messages[match[1]] = match[2];
    std::size_t processed = 0, errors = 0, good = 0;
    const bool summaryFound = std::regex_search(ASummary, match, summary) && match[2] == "0";
    if (summaryFound) {
        processed = std::stoul(match[1]);
        errors = std::stoul(match[3]);
    }
    int wrong = 0;
    for (std::size_t i = 0; i < ACount; ++i) {
        const TStressFile& file = AFiles[i];
        const std::string name = PathToUtf8(file.Input.filename());
        const fs::path target = AOut / file.Input.filename();
        const bool isGood = file.Message.empty();
        good += isGood;
        const bool right = isGood ? messages[name] == "ОК!" && ReadFile(target) == file.Positive
                                  : messages[name] == file.Message && !fs::exists(target);
        if (!right) {
            if (++wrong <= 5)
                std::fprintf(stderr, "wrong: %s: %s\n", name.c_str(), messages[name].c_str());
        }
    }
    std::size_t outputs = 0;
    std::error_code error;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(AOut, error))
        ++outputs;
    if (!summaryFound || processed != good || errors != ACount - good || outputs != good) {
        std::fprintf(stderr, "counters: processed %zu of %zu good, errors %zu, files in the destination %zu\n",
                     processed, good, errors, outputs);
        ++wrong;
    }
    return wrong;
}

int RunStress(const std::string& AName, int ACount, const TRunBatch& ARunBatch) {
    const fs::path folder = fs::temp_directory_path() / (AName + "-" + std::to_string(::getpid()));
    fs::create_directories(folder / "in");
    const std::vector<TStressFile> files = WriteStressFiles(folder / "in", folder / "all", ACount);
    int wrong = 0;
    long peaks[2] = {0, 0};
    const std::size_t counts[2] = {std::min<std::size_t>(100, files.size()), files.size()};
    for (int k = 0; k < 2; ++k) {
        const fs::path out = folder / (k == 0 ? "first" : "all");
        fs::create_directories(out);
        const TStressRun run = ARunBatch(files, counts[k], out);
        const int runWrong = CheckStressRun(run.OutcomeLines, run.Summary, files, counts[k], out);
        wrong += runWrong;
        peaks[k] = run.PeakKilobytes;
        std::printf("%zu files (%zu malformed): %.2f s, peak resident memory %ld KiB, %d wrong\n", counts[k],
                    counts[k] / 5, run.Seconds, run.PeakKilobytes, runWrong);
    }
    std::printf("peak resident memory: first 100 files %ld KiB, all %zu files %ld KiB\n", peaks[0], files.size(),
                peaks[1]);
    fs::remove_all(folder);
    return wrong == 0 ? 0 : 1;
}

} // namespace kvaderon::bench
