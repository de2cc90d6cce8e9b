// TDialogManager: one choice dialog per question, freed when it closes, and the folder chooser.
#include "DialogManager.h"

#include "FileChoosers.h"
#include "MyDialog.h"
#include "NativePaths.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

TDialogManager::TDialogManager(QWidget* AOwner) : FOwner(AOwner) {}

int TDialogManager::CreateCustomDialogWithMapping(const QString& ACaption, const QString& AText,
                                                  const QStringList& AButtonCaptions, const QList<int>& AButtonIndices,
                                                  int AMainIcon) {
    const auto dialog = std::make_unique<TForm2>(FOwner.data());
    return dialog->ExecuteWithButtonMapping(ACaption, AText, AButtonCaptions, AButtonIndices, AMainIcon);
}

int TDialogManager::CreateCustomDialog(const QString& ACaption, const QString& AText, const QStringList& AButtons,
                                       int AMainIcon) {
    const auto dialog = std::make_unique<TForm2>(FOwner.data());
    return dialog->Execute(ACaption, AText, AButtons, AMainIcon);
}

bool TDialogManager::SelectFolder(const QString& ATitle, QString& ASelectedFolder) {
    if (!QFileInfo(ASelectedFolder).isDir())
        ASelectedFolder.clear();
    const std::optional<QString> chosen = ChooseFolder(FOwner.data(), ATitle, ASelectedFolder);
    if (!chosen)
        return false;
    ASelectedFolder = WithoutTrailingSeparator(*chosen);
    return true;
}
