// The window's real file and folder choosers: the open dialog for TIFF files with a preview pane,
// and the folder chooser. The window reaches them through replaceable functions.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// "TIFF files" (.tif, .tiff) first, then "All files".
QStringList TiffNameFilters();

// Several existing files, or with the button "Выбрать папку…" folders, starting in AStartFolder;
// an empty list when cancelled.
QStringList ChooseTiffFiles(QWidget* AParent, const QString& AStartFolder);

// A folder, starting in AStartFolder (none when empty); nothing when cancelled.
std::optional<QString> ChooseFolder(QWidget* AParent, const QString& ATitle, const QString& AStartFolder);
