// The window's real file and folder choosers: the open dialog for TIFF files with a preview pane,
// and the folder chooser. The window reaches them through replaceable functions.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

class QFileDialog;
class QWidget;

// "TIFF files" (.tif, .tiff) first, then "All files".
QStringList TiffNameFilters();

// Several existing files, or with the button "Выбрать папку…" folders, starting in AStartFolder;
// an empty list when cancelled.
QStringList ChooseTiffFiles(QWidget* AParent, const QString& AStartFolder);

// A folder, starting in AStartFolder (none when empty); nothing when cancelled.
std::optional<QString> ChooseFolder(QWidget* AParent, const QString& ATitle,
                                    const QString& AStartFolder);

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

// APath in native spelling, with a separator at its end.
QString WithTrailingSeparator(const QString& APath);
// APath in native spelling without a separator at its end, but for a root.
QString WithoutTrailingSeparator(const QString& APath);
// The folder part of APath in native spelling: everything up to and including its last separator.
QString FolderWithSeparator(const QString& APath);
// The name of APath without its folder.
QString FileNameOf(const QString& APath);
// APath as the engine takes it: native spelling, UTF-8.
std::filesystem::path ToPath(const QString& APath);
// An engine's path in native spelling.
QString FromPath(const std::filesystem::path& APath);
