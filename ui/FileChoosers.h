// The window's real file and folder choosers: the open dialog for TIFF files with a preview pane,
// and the folder chooser. The window reaches them through replaceable functions.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QWidget;

// "Файлы TIFF" (.tif, .tiff) first, then "Все файлы".
QStringList TiffNameFilters();

// The places of both choosers' sidebar, as a Windows user knows them: the home folder, Desktop,
// Documents, Pictures, then every drive (the root on other systems); each once, existing ones only.
QList<QUrl> SidebarPlaces();

// Several existing files, or with the button "Выбрать папку…" folders, starting in AStartFolder;
// an empty list when cancelled.
QStringList ChooseTiffFiles(QWidget* AParent, const QString& AStartFolder);

// A folder, starting in AStartFolder (none when empty); nothing when cancelled.
std::optional<QString> ChooseFolder(QWidget* AParent, const QString& ATitle, const QString& AStartFolder);
