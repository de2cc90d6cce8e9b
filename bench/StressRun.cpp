// Stress run of kvaderon-cli: many small files, a fifth of them malformed, inverted with two
// threads. Checks every positive byte for byte and every refusal's message against the engine's
// own, the summary's counters against the file counts, and reports the peak resident memory of a
// run over the first hundred files and of the run over all of them.
//   kvaderon_stress PATH-TO-kvaderon-cli [FILES (default 2000)]
#include "CommonTypes.h"
#include "MemoryFileSystem.h"
#include "PathText.h"
#include "TiffInverterSingleThread.h"
#include "TiffSamples.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace kvaderon;
using namespace kvaderon::test;
namespace fs = std::filesystem;

struct TExpected {
    fs::path Input;
    TBytes Positive;     // for a good file
    std::string Message; // for a malformed one
};

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

std::vector<TExpected> WriteInputs(const fs::path& AIn, const fs::path& AOut, int ACount) {
    std::vector<TNamedFile> malformed;
    for (TNamedFile& file : MalformedTiffs())
        if (!RefusalOf("/probe.tif", file.Bytes, "/out/probe.tif").empty())
            malformed.push_back(std::move(file));
    std::vector<TExpected> expected;
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

struct TRun {
    int ExitCode = -1;
    long PeakKilobytes = 0;
    double Seconds = 0;
    std::string Out;
};

TRun RunCli(const std::string& ACli, const std::vector<TExpected>& AFiles, std::size_t ACount, const fs::path& AOut,
            const fs::path& AOutFile) {
    std::vector<std::string> texts{ACli, "invert", "--jobs", "2", "--out", AOut.string()};
    for (std::size_t i = 0; i < ACount; ++i)
        texts.push_back(AFiles[i].Input.string());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, AOutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    TRun run;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return run;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.PeakKilobytes = usage.ru_maxrss;
    std::ifstream text(AOutFile);
    std::stringstream buffer;
    buffer << text.rdbuf();
    run.Out = buffer.str();
    return run;
}

// Counts the files whose outcome line, output and absence of output are not as expected.
int CheckRun(const TRun& ARun, const std::vector<TExpected>& AFiles, std::size_t ACount, const fs::path& AOut) {
    std::map<std::string, std::string> messages;
    const std::regex outcome(R"(^\d+\. \d\d:\d\d:\d\d ([^:]+): (.*)$)");
    const std::regex summary(R"(Готово: обработан\S* (\d+), пропущен\S* (\d+), ошиб\S* (\d+))");
    std::istringstream lines(ARun.Out);
    std::smatch match;
    std::size_t processed = 0, errors = 0, good = 0;
    bool summaryFound = false;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_match(line, match, outcome))
            messages[match[1]] = match[2];
        else if (std::regex_search(line, match, summary)) {
            summaryFound = match[2] == "0";
            processed = std::stoul(match[1]);
            errors = std::stoul(match[3]);
        }
    }
    int wrong = 0;
    for (std::size_t i = 0; i < ACount; ++i) {
        const TExpected& file = AFiles[i];
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

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-kvaderon-cli [FILES]\n", argv[0]);
        return 2;
    }
    const int count = argc > 2 ? std::atoi(argv[2]) : 2000;
    const fs::path folder = fs::temp_directory_path() / ("kvaderon-stress-" + std::to_string(::getpid()));
    fs::create_directories(folder / "in");
    const std::vector<TExpected> files = WriteInputs(folder / "in", folder / "all", count);

    int wrong = 0;
    long peaks[2] = {0, 0};
    const std::size_t counts[2] = {std::min<std::size_t>(100, files.size()), files.size()};
    for (int k = 0; k < 2; ++k) {
        const fs::path out = folder / (k == 0 ? "first" : "all");
        const TRun run = RunCli(argv[1], files, counts[k], out, folder / "out.txt");
        peaks[k] = run.PeakKilobytes;
        const int runWrong = CheckRun(run, files, counts[k], out);
        wrong += runWrong;
        std::printf("%zu files (%zu malformed): exit %d, %.2f s, peak resident memory %ld KiB, %d wrong\n",
                    counts[k], counts[k] / 5, run.ExitCode, run.Seconds, run.PeakKilobytes, runWrong);
    }
    std::printf("peak resident memory: first 100 files %ld KiB, all %zu files %ld KiB\n", peaks[0], files.size(),
                peaks[1]);
    fs::remove_all(folder);
    return wrong == 0 ? 0 : 1;
}
