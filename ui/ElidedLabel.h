// TElidedLabel: a label whose lines, when wider than the label, are drawn shortened with "…" in
// their middle, so that both ends of a path or a list stay visible. Its text() stays the whole
// text; only the painting is shortened.
#pragma once

#include <QLabel>

class TElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit TElidedLabel(QWidget* AParent = nullptr);

    // The text as it is drawn at the label's present width.
    QString DisplayedText() const;

protected:
    void paintEvent(QPaintEvent* AEvent) override;
};
