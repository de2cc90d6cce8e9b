// The window's batch over the given files, with every dialog scripted: prints the seconds from the
// click on the invert button to the end of the result dialog, the figure to set beside
// kvaderon-cli invert --jobs 1 of the same files.
//   kvaderon_window_batch OUT FILE...
#include "WindowBatch.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kvaderon_window_batch OUT FILE...\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList paths;
    for (int i = 2; i < argc; ++i)
        paths.append(kvaderon::bench::Native(argv[i]));
    const kvaderon::bench::TWindowBatch batch = kvaderon::bench::RunWindowBatch(paths, argv[1]);
    std::printf("%.3f\n", batch.Seconds);
    return batch.Summary.empty() ? 1 : 0;
}
