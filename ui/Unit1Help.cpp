// TForm1, the help: the program's help text "INFO", shown in the log while the log holds nothing
// else, and otherwise in a window of its own so that no result is erased.
#include "Unit1.h"

#include "HelpWindow.h"
#include "WindowFonts.h"
#include "ui_Unit1.h"

#include <QFile>
#include <QScrollBar>
#include <QTextDocument>

namespace {

// The help text with a line break after every line, the last one included.
QString ReadHelpText() {
    QFile file(QStringLiteral(":/INFO"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    QString text;
    // The resource ends with a line break, which leaves one empty piece behind the last line.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i + 1 == lines.size() && lines[i].isEmpty())
            break;
        text += lines[i] + QLatin1Char('\n');
    }
    return text;
}

} // namespace

void TForm1::ShowHelp() {
    if (FRunActive || FLogHoldsResults) {
        if (!FHelpWindow)
            FHelpWindow = new THelpWindow(ReadHelpText(), this);
        FHelpWindow->ShowOnTop();
        return;
    }
    ClearLog();
    FLogFormat.setFontFamilies(WindowFontFamilies());
    FLogFormat.setFontStyleHint(QFont::SansSerif);
    FUi->RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FUi->RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FUi->RichEdit1->document()->setDocumentMargin(LogMargin);
    SetLogRole(kvaderon::TColorRole::crNames, false);
    InsertLogText(ReadHelpText());
    FLogHoldsResults = false;
    FUi->RichEdit1->setFocus();
    FUi->RichEdit1->moveCursor(QTextCursor::Start);
    FUi->RichEdit1->verticalScrollBar()->setValue(0);
}
