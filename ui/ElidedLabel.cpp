// TElidedLabel: lines too wide for the label are shortened when drawn, never in the text itself.
#include "ElidedLabel.h"

#include <QPainter>
#include <QStyle>

TElidedLabel::TElidedLabel(QWidget* AParent) : QLabel(AParent) {}

QString TElidedLabel::DisplayedText() const {
    const int width = contentsRect().width();
    QStringList lines = text().split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = fontMetrics().elidedText(line, Qt::ElideMiddle, width);
    return lines.join(QLatin1Char('\n'));
}

void TElidedLabel::paintEvent(QPaintEvent* AEvent) {
    const QString displayed = DisplayedText();
    if (displayed == text()) {
        QLabel::paintEvent(AEvent);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), displayed,
                          foregroundRole());
}
