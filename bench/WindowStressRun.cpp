// Stress run of the window's batch: the files of the command-line stress run, inverted by TForm1
// with every dialog answered by a script (the result dialog closed) and no file manager opened.
// Checks every positive and every refusal in the log, the status line's counters, and reports the
// peak resident memory after a batch of the first hundred files and after one of all of them.
//   kvaderon_window_stress [FILES (default 2000)]
#include "DialogManager.h"
#include "StressFiles.h"
#include "Unit1.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace kvaderon::bench;
namespace fs = std::filesystem;

// Closes every dialog without a button, as Escape would.
class TClosingDialogManager : public TDialogManager {
public:
    int CreateCustomDialogWithMapping(const QString&, const QString&, const QStringList&,
                                      const QList<int>&, int) override {
        return 2;
    }
    int CreateCustomDialog(const QString&, const QString&, const QStringList&, int) override {
        return 2;
    }
    bool SelectFolder(const QString&, QString&) override { return false; }
};

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString Native(const fs::path& APath) {
    return QDir::toNativeSeparators(QString::fromStdString(APath.string()));
}

// One batch of a new window over the first ACount files.
TStressRun RunWindowBatch(const std::vector<TStressFile>& AFiles, std::size_t ACount,
                          const fs::path& AOut) {
    TForm1Services services;
    services.DialogManager = std::make_unique<TClosingDialogManager>();
    services.ChooseOutputFolder = [AOut](QWidget*, const QString&, const QString&) {
        return std::optional<QString>(Native(AOut));
    };
    services.OpenFolderInShell = [](const QString&) { return true; };
    TForm1 form(std::move(services));
    QStringList paths;
    for (std::size_t i = 0; i < ACount; ++i)
        paths.append(Native(AFiles[i].Input));
    form.OpenFiles(paths);
    form.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
    const auto start = std::chrono::steady_clock::now();
    form.findChild<QPushButton*>(QStringLiteral("btnInvert"))->click();
    TStressRun run;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.OutcomeLines =
        form.findChild<QTextEdit*>(QStringLiteral("RichEdit1"))->toPlainText().toStdString();
    run.Summary = form.findChild<QLabel*>(QStringLiteral("lblStatus"))->text().toStdString();
    run.PeakKilobytes = PeakKilobytes(); // of the whole process so far
    return run;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RunStress("kvaderon-window-stress", argc > 1 ? std::atoi(argv[1]) : 2000,
                     RunWindowBatch);
}
