#include "HelpWindow.h"

#include "WindowFonts.h"

#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

THelpWindow::THelpWindow(const QString& AHelpText, QWidget* AParent)
    : QDialog(AParent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), FText(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Справка"));
    setModal(false);
    ApplyWindowFont(this);
    FText->setObjectName(QStringLiteral("HelpText"));
    FText->setPlainText(AHelpText);
    FText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(FText);
    resize(640, 520);
}

void THelpWindow::ShowOnTop() {
    FText->verticalScrollBar()->setValue(0);
    show();
    raise();
    activateWindow();
}
