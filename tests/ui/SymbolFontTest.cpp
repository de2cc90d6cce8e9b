// Every character of the batch texts that the dialogs show, the symbols ✓ ↷ ✗ ▶ ⏰ ⏹ included, has
// a glyph in the fonts the window uses, through Qt's font fallback: none is drawn as an empty box.
#include "BatchTexts.h"
#include "WindowFonts.h"

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

using namespace kvaderon;

// The texts of the result dialog in each of its variants and of the interruption dialog.
QString BatchDialogTexts() {
    std::string text;
    for (const auto& [processed, skipped, errors, total] :
         {std::tuple{1, 0, 0, 1}, std::tuple{1, 1, 0, 2}, std::tuple{1, 1, 1, 3}, std::tuple{1, 1, 1, 5}}) {
        TProcessingState state([] { return std::uint64_t(0); });
        state.StartNew(total);
        for (int i = 0; i < processed; ++i)
            state.RecordProcessed();
        for (int i = 0; i < skipped; ++i)
            state.RecordSkipped();
        for (int i = 0; i < errors; ++i)
            state.RecordError();
        text += PlainText(BuildResultSummary(state)) + PlainText(BuildInterruptionText(state, "a.tif")) +
                PlainText(BuildFinalStatusText(state));
    }
    return QString::fromStdString(text);
}

// The characters of AText that the layout with AFamilies draws with no glyph.
QString MissingCharacters(const QString& AText, const QStringList& AFamilies) {
    QFont font;
    font.setFamilies(AFamilies);
    QString missing;
    for (const QChar character : QSet<QChar>(AText.begin(), AText.end())) {
        if (character.isSpace())
            continue;
        QTextLayout layout(QString(character), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        bool drawn = false;
        for (const QGlyphRun& run : layout.glyphRuns())
            for (const quint32 glyph : run.glyphIndexes())
                drawn = drawn || glyph != 0;
        if (!drawn)
            missing += character;
    }
    return missing;
}

TEST(SymbolFontTest, EverySymbolOfTheBatchTextsIsDrawn) {
    const QString texts = BatchDialogTexts();
    for (const char32_t symbol : {U'✓', U'↷', U'✗', U'▶', U'⏰', U'⏹'})
        ASSERT_TRUE(texts.contains(QString::fromUcs4(&symbol, 1)))
            << "the texts use U+" << std::hex << std::uint32_t(symbol);
    EXPECT_EQ(MissingCharacters(texts, WindowFontFamilies()).toStdString(), "") << "dialog font";
    EXPECT_EQ(MissingCharacters(texts, LogFontFamilies()).toStdString(), "") << "log font";
}

} // namespace
