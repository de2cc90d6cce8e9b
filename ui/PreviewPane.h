// The open dialog's preview pane: a TIFF file's negative beside the positive the inverter will
// write, or the inverter's reason for refusing it; other pictures as Qt reads them.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class QFileDialog;

// What the preview pane shows: a picture, or a text when there is none.
struct TPreviewContent {
    QImage Image;
    QString Text;
};

// The picture of AFileName fitting into ABox (never scaled up). A TIFF file (by its name) is the
// inverter's: its negative and beside it the positive it will become, each in half the box, or
// the inverter's reason for refusing it. Any other picture Qt reads, scaled down; "Нет
// изображения" otherwise.
TPreviewContent LoadPreview(const QString& AFileName, const QSize& ABox);
// Adds the preview pane to an open dialog: the picture of the current file, made off the
// user-interface thread.
void AddPreviewPane(QFileDialog& ADialog);
