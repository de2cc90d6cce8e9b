// The analysis button: one report per chosen file in list order, an error line for a file that
// cannot be analysed, the progress bar full and back to 0 afterwards.
#include "Form1Fixture.h"

#include "TempDir.h"
#include "TiffBuilder.h"
#include "WindowFonts.h"

#include <QDir>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

using namespace kvaderon::test;
using kvaderon::dtShort;
using kvaderon::tagBitsPerSample;

TEST_F(Form1Test, AnalysisWritesAReportPerFileAndAnErrorLineForABadOne) {
    TTempDir temp;
    WriteFile(temp / "good.tif", BuildImage({}).Build());
    WriteFile(temp / "eight.tif", BuildImage({}).Set(tagBitsPerSample, dtShort, {8}).Build());
    Access().HandleDroppedFiles({Native(temp / "good.tif"), Native(temp / "eight.tif")});

    Control<QPushButton>("btnTest")->click();

    const QStringList lines = Log()->toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 15);
    EXPECT_EQ(lines[0], QStringLiteral("good.tif"));
    EXPECT_EQ(Log()->firstBlock().begin().fragment().charFormat().fontWeight(), QFont::Bold);
    for (int i = 2; i < 5; ++i) // the grey channel's effective depth
        EXPECT_TRUE(lines[i].startsWith(QStringLiteral("Серый: "))) << lines[i].toStdString();
    EXPECT_EQ(lines[5], QString(83, QLatin1Char('-')));
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral("Размеры (Ш×В): 4×2"))) << lines[6].toStdString();
    const QStringList errors = lines.filter(QStringLiteral("ОШИБКА: "));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("ОШИБКА: eight.tif: Файл отклонен: "))) << errors[0].toStdString();
    EXPECT_TRUE(Control("btnTest")->isEnabled());
    EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Анализ завершён: 2 файла")) << "not an earlier status";

    auto* bar = Control<QProgressBar>("ProgressBar2");
    EXPECT_EQ(bar->value(), 100);
    EXPECT_TRUE(WaitUntil([bar] { return bar->value() == 0; }));

    // The analysis rounds its percentages (the batch run truncates).
    QList<int> shown;
    QObject::connect(bar, &QProgressBar::valueChanged, Form.get(), [&shown](int AValue) { shown.append(AValue); });
    Access().HandleDroppedFiles({Native(temp / "good.tif"), Native(temp / "good.tif"), Native(temp / "good.tif")});
    Control<QPushButton>("btnTest")->click();
    EXPECT_EQ(shown, (QList<int>{33, 67, 100}));
    EXPECT_TRUE(WaitUntil([bar] { return bar->value() == 0; }));
}

// At the window's default size a report line of 83 characters, the length of its separators,
// fits the log's width beside the vertical scroll bar, so the report reads as one table.
TEST_F(Form1Test, ReportSeparatorFitsTheLogAtTheDefaultSize) {
    TTempDir temp;
    WriteFile(temp / "good.tif", BuildImage({}).Build());
    Access().HandleDroppedFiles({Native(temp / "good.tif")});
    Form->show();
    ASSERT_TRUE(WaitUntil([this] { return Form->isVisible(); }));
    Control<QPushButton>("btnTest")->click();

    QTextBlock separator = Log()->begin();
    while (separator.isValid() && separator.text() != QString(83, QLatin1Char('-')))
        separator = separator.next();
    ASSERT_TRUE(separator.isValid());
    const QFont font = separator.begin().fragment().charFormat().font();
    if (!LogFontFamilies().contains(QFontInfo(font).family()))
        GTEST_SKIP() << "none of the log's fonts is installed; the log draws in "
                     << QFontInfo(font).family().toStdString();
    auto* log = Control<QTextEdit>("RichEdit1");
    const int scrollBar = log->verticalScrollBar()->isVisible() ? 0 : log->verticalScrollBar()->sizeHint().width();
    const qreal available = log->viewport()->width() - scrollBar - 2 * log->document()->documentMargin();
    EXPECT_LE(QFontMetricsF(font).horizontalAdvance(separator.text()), available)
        << font.family().toStdString() << " " << font.pointSizeF();
    EXPECT_EQ(separator.layout()->lineCount(), 1);
}

} // namespace
