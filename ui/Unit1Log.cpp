// TForm1, the coloured log: theme darkness and the colour set in force, the primitives that write
// into RichEdit1, and the outcome lines of a batch run. Text written in a colour role keeps the role,
// and the whole log takes the colours of a new theme.
#include "Unit1.h"

#include "AnalysisReport.h"
#include "OutcomeLine.h"
#include "ProcessingState.h"
#include "ThemePalette.h"
#include "WindowFonts.h"
#include "platform/StyleManager.h"
#include "ui_Unit1.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>
#include <ctime>
#include <vector>

namespace {

// The colour role a run of the log was written in, kept so that a change of theme can recolour it.
constexpr int LogRoleProperty = QTextFormat::UserProperty + 1;

QColor ToQColor(kvaderon::TColor AColor) {
    return TStyleManager::Instance().GetSystemColor(AColor);
}

} // namespace

kvaderon::TColor TForm1::PickThemeColor(kvaderon::TColor ADarkColor, kvaderon::TColor ALightColor) const {
    return IsDarkTheme() ? ADarkColor : ALightColor;
}

void TForm1::ApplyOutputColors() {
    const kvaderon::TOutputColors& dark = FSettings.OutputColorsBW.B;
    const kvaderon::TOutputColors& light = FSettings.OutputColorsBW.W;
    for (const kvaderon::TColorRoleEntry& role : kvaderon::ColorRoles)
        OutputColors.*role.Color = PickThemeColor(dark.*role.Color, light.*role.Color);
    RecolorLog();
}

// Every run written in a colour role takes that role's colour of the set now in force.
void TForm1::RecolorLog() {
    struct TRoleRun {
        int Position;
        int Length;
        kvaderon::TColorRole Role;
    };
    std::vector<TRoleRun> runs;
    QTextDocument* document = FUi->RichEdit1->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QVariant role = fragment.fragment().charFormat().property(LogRoleProperty);
            if (role.isValid())
                runs.push_back(
                    {fragment.fragment().position(), fragment.fragment().length(), kvaderon::TColorRole(role.toInt())});
        }
    }
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const TRoleRun& run : runs) {
        QTextCharFormat color;
        color.setForeground(ToQColor(kvaderon::RoleColor(OutputColors, run.Role)));
        cursor.setPosition(run.Position);
        cursor.setPosition(run.Position + run.Length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(color);
    }
    cursor.endEditBlock();
}

// The window font's size, or less where the log font is wider than the designed one: a report
// line must fit the log at the window's default size beside the vertical scroll bar.
qreal TForm1::LogFontPointSize() const {
    QFont font = FUi->RichEdit1->font();
    font.setFamilies(LogFontFamilies());
    font.setStyleHint(QFont::TypeWriter);
    const QTextEdit* log = FUi->RichEdit1;
    const qreal available = FDesignLog.width() - 2 * log->frameWidth() - 2 * LogMargin -
                            log->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, log) - 1; // the caret
    const qreal needed = QFontMetricsF(font).horizontalAdvance(QString(kvaderon::ReportLineLength, QLatin1Char('-')));
    if (needed <= available)
        return font.pointSizeF();
    // Fonts are drawn at whole pixel sizes: the largest that fits, as points.
    const int pixels = int(std::floor(QFontInfo(font).pixelSize() * available / needed));
    return pixels * 72.0 / log->logicalDpiY();
}

void TForm1::PrepareLog() {
    FLogFormat.setFontFamilies(LogFontFamilies());
    FLogFormat.setFontStyleHint(QFont::TypeWriter);
    // Measured once: the window font and the form's log width do not change.
    if (FLogFontPointSize == 0)
        FLogFontPointSize = LogFontPointSize();
    FLogFormat.setFontPointSize(FLogFontPointSize);
    // Lines wrap at the log's width, so the horizontal scroll bar shows only when a line cannot
    // wrap.
    FUi->RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FUi->RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FUi->RichEdit1->document()->setDocumentMargin(LogMargin);
}

void TForm1::ClearLog() {
    FLogHoldsResults = false;
    FUi->RichEdit1->clear();
    FLogCursor = QTextCursor(FUi->RichEdit1->document());
}

void TForm1::SetLogAttributes(kvaderon::TColor AColor, bool ABold) {
    FLogFormat.clearProperty(LogRoleProperty);
    FLogFormat.setForeground(ToQColor(AColor));
    FLogFormat.setFontWeight(ABold ? QFont::Bold : QFont::Normal);
    FLogFormat.setFontItalic(false);
    FLogFormat.setFontUnderline(false);
    FLogFormat.setFontStrikeOut(false);
}

// The text goes to the end of the log, whatever the user's caret or selection is.
void TForm1::InsertLogText(const QString& AText) {
    QString text = AText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    FLogCursor.movePosition(QTextCursor::End);
    FLogCursor.insertText(text, FLogFormat);
    FLogHoldsResults = true;
}

void TForm1::AddLogLine(const QString& AText) {
    const bool atLineStart = FUi->RichEdit1->document()->lastBlock().text().isEmpty();
    InsertLogText(atLineStart ? QString(AText + QLatin1Char('\n')) : QString(QLatin1Char('\n') + AText));
    ScrollLogToCaret();
}

void TForm1::ScrollLogToCaret() {
    QTextCursor caret = FUi->RichEdit1->textCursor();
    caret.setPosition(FLogCursor.position());
    FUi->RichEdit1->setTextCursor(caret);
    FUi->RichEdit1->ensureCursorVisible();
}

void TForm1::SetLogRole(kvaderon::TColorRole ARole, bool ABold) {
    SetLogAttributes(kvaderon::RoleColor(OutputColors, ARole), ABold);
    FLogFormat.setProperty(LogRoleProperty, int(ARole));
}

void TForm1::InsertLogRuns(const kvaderon::TTextRuns& ARuns) {
    for (const kvaderon::TTextRun& run : ARuns) {
        SetLogRole(run.Role, run.Bold);
        InsertLogText(QString::fromStdString(run.Text));
    }
}

void TForm1::LogFileResult(const QString& AFileName, const QString& AMessage) {
    LogOutcomeLine(AFileName, AMessage, false);
}

void TForm1::LogFileError(const QString& AFileName, const QString& AMessage) {
    LogOutcomeLine(AFileName, AMessage, true);
}

// Lines of a run at the log's end; the view follows them, so the newest is always in sight.
void TForm1::LogRuns(const kvaderon::TTextRuns& ARuns) {
    PrepareLog();
    InsertLogRuns(ARuns);
    ScrollLogToCaret();
}

void TForm1::LogOutcomeLine(const QString& AFileName, const QString& AMessage, bool AIsError) {
    LogRuns(kvaderon::BuildOutcomeLine(FProcessingState->CurrentIndex() + 1,
                                       kvaderon::LocalTimeText(std::time(nullptr)), AFileName.toStdString(),
                                       AMessage.toStdString(), AIsError));
    QCoreApplication::processEvents();
}
