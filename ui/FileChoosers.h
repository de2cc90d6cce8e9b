// The window's real file and folder choosers: the open dialog for TIFF files with a preview pane,
// and the folder chooser. The window reaches them through replaceable functions.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// "TIFF files" (.tif, .tiff) first, then "All files".
QStringList TiffNameFilters();

// Several existing files, starting in AStartFolder; an empty list when cancelled.
QStringList ChooseTiffFiles(QWidget* AParent, const QString& AStartFolder);

// A folder, starting in AStartFolder (none when empty); nothing when cancelled.
std::optional<QString> ChooseFolder(QWidget* AParent, const QString& ATitle,
                                    const QString& AStartFolder);

// The picture of AFileName scaled down to fit into ABox (never scaled up); a null image when the
// file cannot be read as a picture. 16-bit TIFF files included.
QImage LoadPreviewImage(const QString& AFileName, const QSize& ABox);

// APath in native spelling, with a separator at its end.
QString WithTrailingSeparator(const QString& APath);
// APath in native spelling without a separator at its end, but for a root.
QString WithoutTrailingSeparator(const QString& APath);
// The folder part of APath in native spelling: everything up to and including its last separator.
QString FolderWithSeparator(const QString& APath);
