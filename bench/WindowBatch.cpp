#include "WindowBatch.h"

#include "DialogManager.h"
#include "Unit1.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include <chrono>

namespace kvaderon::bench {

namespace {

// Closes every dialog without a button, as Escape would.
class TClosingDialogManager : public TDialogManager {
public:
    int CreateCustomDialogWithMapping(const QString&, const QString&, const QStringList&, const QList<int>&,
                                      int) override {
        return 2;
    }
    int CreateCustomDialog(const QString&, const QString&, const QStringList&, int) override { return 2; }
    bool SelectFolder(const QString&, QString&) override { return false; }
};

} // namespace

QString Native(const std::filesystem::path& APath) {
    return QDir::toNativeSeparators(QString::fromStdString(APath.string()));
}

TWindowBatch RunWindowBatch(const QStringList& APaths, const std::filesystem::path& AOut) {
    TForm1Services services;
    services.DialogManager = std::make_unique<TClosingDialogManager>();
    services.ChooseOutputFolder = [AOut](QWidget*, const QString&, const QString&) {
        return std::optional<QString>(Native(AOut));
    };
    services.OpenFolderInShell = [](const QString&) { return true; };
    TForm1 form(std::move(services));
    form.OpenFiles(APaths);
    form.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
    const auto start = std::chrono::steady_clock::now();
    form.findChild<QPushButton*>(QStringLiteral("btnInvert"))->click();
    TWindowBatch batch;
    batch.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    batch.OutcomeLines = form.findChild<QTextEdit*>(QStringLiteral("RichEdit1"))->toPlainText().toStdString();
    batch.Summary = form.findChild<QLabel*>(QStringLiteral("lblStatus"))->text().toStdString();
    return batch;
}

} // namespace kvaderon::bench
