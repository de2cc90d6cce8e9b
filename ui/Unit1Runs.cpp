// TForm1, the analysis of the chosen files with its reports.
#include "Unit1.h"

#include "AnalysisReport.h"
#include "NativePaths.h"
#include "PluralForms.h"
#include "TIFFBitDepthAnalyzer.h"
#include "ui_Unit1.h"

#include <QFileInfo>

#include <cmath>

// Synchronous: the window takes no input until the last report is written.
void TForm1::RunAnalysis() {
    if (FInputFiles.isEmpty()) {
        ShowMessageDialog(QStringLiteral("Сначала выберите файлы"), QStringLiteral("Предупреждение"), true);
        return;
    }
    FUi->btnTest->setEnabled(false);
    ClearLog();
    ResetProgressBars(true);
    const qsizetype total = FInputFiles.size();
    for (qsizetype done = 0; done < total;) {
        SetStatus(QStringLiteral("Анализ файла %1 из %2: ").arg(done + 1).arg(total) + FileNameOf(FInputFiles[done]));
        FUi->lblStatus->repaint(); // the run lets no events through
        WriteAnalysisReport(FInputFiles[done]);
        ++done;
        // Halves go to the even neighbour.
        FUi->ProgressBar2->setValue(int(std::lrint(double(done) * 100.0 / double(total))));
    }
    SetStatus(QStringLiteral("Анализ завершён: ") + QString::number(total) + QLatin1Char(' ') +
              QString::fromStdString(kvaderon::GetPluralForm(total, "файл", "файла", "файлов")));
    ResetProgressBars(false);
    FUi->btnTest->setEnabled(true);
}

void TForm1::WriteAnalysisReport(const QString& AFileName) {
    PrepareLog();
    const kvaderon::TBitDepthResult result =
        kvaderon::TTIFFBitDepthAnalyzer().AnalyzeBitDepth(ToPath(AFileName), kvaderon::TAnalysisMode::amPrecise);
    const QTextCharFormat remembered = FLogFormat;
    InsertLogRuns(kvaderon::BuildAnalysisReport(FileNameOf(AFileName).toStdString(), result));
    if (result.Error.empty())
        FLogFormat = remembered;
    FUi->RichEdit1->setFocus();
    ScrollLogToCaret();
}
