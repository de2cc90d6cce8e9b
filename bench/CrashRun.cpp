// Crash safety of kvaderon-cli: a batch of large files killed with SIGKILL at random moments,
// 20 times over one destination. After every kill each file under a target's name must be the
// exact positive of its input, and anything else only a temporary file; a last run over the same
// destination must neither take the temporary files for targets nor for inputs.
//   kvaderon_crash PATH-TO-kvaderon-cli [ROUNDS (default 20)]
#include "TiffBuilder.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace kvaderon::test;
namespace fs = std::filesystem;

constexpr int FileCount = 6;

std::uint64_t Hash(const TBytes& ABytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint8_t byte : ABytes)
        hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

// Writes the inputs, 16 MiB each, and returns the hash of each one's positive by target name.
std::map<std::string, std::uint64_t> WriteInputs(const fs::path& AIn, std::vector<std::string>& AInputs) {
    std::map<std::string, std::uint64_t> positives;
    for (int i = 0; i < FileCount; ++i) {
        TImageLayout layout;
        layout.Width = 2048;
        layout.Height = 4096;
        layout.StripsPerPlane = 64;
        layout.Samples.resize(SampleCount(layout));
        for (std::size_t k = 0; k < layout.Samples.size(); ++k)
            layout.Samples[k] = std::uint16_t(i * 40503 + k * 2654435761u);
        const std::string name = "scan" + std::to_string(i) + ".tif";
        WriteFile(AIn / name, BuildImage(layout).Build());
        AInputs.push_back((AIn / name).string());
        for (auto& sample : layout.Samples)
            sample = std::uint16_t(0xFFFF - sample);
        positives[name] = Hash(BuildImage(layout).Build());
    }
    return positives;
}

pid_t Start(const std::string& ACli, const std::vector<std::string>& AArguments, const fs::path& AOutFile) {
    std::vector<std::string> texts{ACli};
    texts.insert(texts.end(), AArguments.begin(), AArguments.end());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, AOutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        std::exit(2);
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

int Wait(pid_t AChild) {
    int status = 0;
    waitpid(AChild, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

bool IsTemporary(const std::string& AName) {
    return AName.rfind(".kvaderon-", 0) == 0 && AName.size() > 4 && AName.substr(AName.size() - 4) == ".tmp";
}

struct TState {
    int Targets = 0;
    int Temporaries = 0;
    int Wrong = 0;
};

TState Inspect(const fs::path& AOut, const std::map<std::string, std::uint64_t>& APositives) {
    TState state;
    for (const auto& entry : fs::directory_iterator(AOut)) {
        const std::string name = entry.path().filename().string();
        const auto positive = APositives.find(name);
        if (positive != APositives.end()) {
            ++state.Targets;
            if (Hash(ReadFile(entry.path())) != positive->second) {
                std::fprintf(stderr, "partial or wrong target: %s\n", name.c_str());
                ++state.Wrong;
            }
        } else if (IsTemporary(name)) {
            ++state.Temporaries;
        } else {
            std::fprintf(stderr, "unexpected file: %s\n", name.c_str());
            ++state.Wrong;
        }
    }
    return state;
}

std::string Text(const fs::path& APath) {
    std::ifstream file(APath);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-kvaderon-cli [ROUNDS]\n", argv[0]);
        return 2;
    }
    const std::string cli = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 20;
    const fs::path folder = fs::temp_directory_path() / ("kvaderon-crash-" + std::to_string(::getpid()));
    fs::create_directories(folder / "in");
    fs::create_directories(folder / "out");
    std::vector<std::string> inputs;
    const auto positives = WriteInputs(folder / "in", inputs);
    std::vector<std::string> arguments{"invert", "--jobs", "2", "--out", (folder / "out").string()};
    arguments.insert(arguments.end(), inputs.begin(), inputs.end());

    // One whole run to learn how long a batch takes; its targets are then removed.
    auto start = std::chrono::steady_clock::now();
    Wait(Start(cli, arguments, folder / "run.txt"));
    const auto batch = std::chrono::steady_clock::now() - start;
    fs::remove_all(folder / "out");
    fs::create_directories(folder / "out");

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(batch).count());
    int wrong = 0, killed = 0;
    std::printf("batch of %d files of 16 MiB: %.3f s; seed %u\n", FileCount,
                std::chrono::duration<double>(batch).count(), seed);
    for (int round = 0; round < rounds; ++round) {
        // Odd rounds replace the targets; even ones start without them, the temporaries kept.
        std::vector<std::string> roundArguments = arguments;
        if (round % 2 == 1)
            roundArguments.insert(roundArguments.begin() + 1, "--overwrite");
        else
            for (const auto& [name, hash] : positives)
                fs::remove(folder / "out" / name);
        const long long delay = moment(random);
        const pid_t child = Start(cli, roundArguments, folder / "run.txt");
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        ::kill(child, SIGKILL);
        killed += Wait(child) == -SIGKILL;
        const TState state = Inspect(folder / "out", positives);
        wrong += state.Wrong;
        std::printf("round %2d: killed after %6.1f ms%s: %d complete targets, %d temporary files, "
                    "%d wrong\n",
                    round + 1, delay / 1000.0, round % 2 == 1 ? " (--overwrite)" : "", state.Targets, state.Temporaries,
                    state.Wrong);
    }

    // The next run over the same destination: the missing targets are made, the others skipped,
    // and no line names a temporary file.
    const int exitCode = Wait(Start(cli, arguments, folder / "run.txt"));
    const TState last = Inspect(folder / "out", positives);
    const std::string printed = Text(folder / "run.txt");
    const bool clean = exitCode == 0 && last.Targets == FileCount && last.Wrong == 0 &&
                       printed.find(".kvaderon-") == std::string::npos;
    std::printf("%d of %d rounds ended by the kill; %d wrong files; next run: exit %d, %d targets, "
                "%d temporary "
                "files left, %s\n",
                killed, rounds, wrong, exitCode, last.Targets, last.Temporaries, clean ? "undisturbed" : "DISTURBED");
    fs::remove_all(folder);
    return wrong == 0 && clean ? 0 : 1;
}
