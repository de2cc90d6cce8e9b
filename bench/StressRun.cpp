// Stress run of kvaderon-cli: many small files, a fifth of them malformed, inverted with two
// threads. Checks every positive byte for byte and every refusal's message against the engine's
// own, the summary's counters against the file counts, and reports the peak resident memory of a
// run over the first hundred files and of the run over all of them.
//   kvaderon_stress PATH-TO-kvaderon-cli [FILES (default 2000)]
#include "StressFiles.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

using namespace kvaderon::bench;
namespace fs = std::filesystem;

TStressRun RunCli(const std::string& ACli, const std::vector<TStressFile>& AFiles, std::size_t ACount,
                  const fs::path& AOut) {
    std::vector<std::string> texts{ACli, "invert", "--jobs", "2", "--out", AOut.string()};
    for (std::size_t i = 0; i < ACount; ++i)
        texts.push_back(AFiles[i].Input.string());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const fs::path printed = AOut.parent_path() / "printed.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    TStressRun run;
    const bool started = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started)
        return run;
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.PeakKilobytes = usage.ru_maxrss;
    std::ifstream text(printed);
    std::stringstream buffer;
    buffer << text.rdbuf();
    run.OutcomeLines = run.Summary = buffer.str();
    return run;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-kvaderon-cli [FILES]\n", argv[0]);
        return 2;
    }
    const std::string cli = argv[1];
    return RunStress("kvaderon-stress", argc > 2 ? std::atoi(argv[2]) : 2000,
                     [&cli](const std::vector<TStressFile>& AFiles, std::size_t ACount, const fs::path& AOut) {
                         return RunCli(cli, AFiles, ACount, AOut);
                     });
}
