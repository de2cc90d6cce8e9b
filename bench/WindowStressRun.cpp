// Stress run of the window's batch: the files of the command-line stress run, inverted by TForm1
// with every dialog answered by a script (the result dialog closed) and no file manager opened.
// Checks every positive and every refusal in the log, the status line's counters, and reports the
// peak resident memory after a batch of the first hundred files and after one of all of them.
//   kvaderon_window_stress [FILES (default 2000)]
#include "StressFiles.h"
#include "WindowBatch.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace kvaderon::bench;
namespace fs = std::filesystem;

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One batch of a new window over the first ACount files.
TStressRun RunStressBatch(const std::vector<TStressFile>& AFiles, std::size_t ACount, const fs::path& AOut) {
    QStringList paths;
    for (std::size_t i = 0; i < ACount; ++i)
        paths.append(Native(AFiles[i].Input));
    const TWindowBatch batch = RunWindowBatch(paths, AOut);
    TStressRun run;
    run.Seconds = batch.Seconds;
    run.OutcomeLines = batch.OutcomeLines;
    run.Summary = batch.Summary;
    run.PeakKilobytes = PeakKilobytes(); // of the whole process so far
    return run;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RunStress("kvaderon-window-stress", argc > 1 ? std::atoi(argv[1]) : 2000, RunStressBatch);
}
