// TForm1: the settings file, read at start-up and written at closing, and the settings dialog.
#include "Unit1.h"

#include "DefaultSettings.h"
#include "IniFile.h"
#include "NativePaths.h"
#include "PathText.h"
#include "platform/StyleManager.h"
#include "platform/SystemError.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The settings store the window with its frame, for which a usual frame is allowed.
constexpr QSize FrameAllowance(16, 38);

// The stored settings; the defaults when there is no file or it cannot be read. A file that
// cannot be read is not written at closing either: its saving reports why.
kvaderon::TStoredSettings ReadSettingsFile(const std::filesystem::path& APath) {
    if (APath.empty())
        return kvaderon::DefaultStoredSettings();
    try {
        return kvaderon::ReadStoredSettings(kvaderon::TIniFile(APath));
    } catch (const kvaderon::platform::ESystemError&) {
        return kvaderon::DefaultStoredSettings();
    }
}

// A first start: there is a settings file to write, and it names no theme yet.
bool IsFirstStart(const std::filesystem::path& APath) {
    if (APath.empty())
        return false;
    try {
        return !kvaderon::TIniFile(APath).ReadValue("Application", "VCLStyle").has_value();
    } catch (const kvaderon::platform::ESystemError&) {
        return false;
    }
}

} // namespace

void TForm1::LoadSettings() {
    const kvaderon::TStoredSettings stored = ReadSettingsFile(FServices.SettingsFile);
    FSettings = stored.App;
    if (IsFirstStart(FServices.SettingsFile))
        FSettings.LastStyle =
            FServices.SystemPrefersDark() ? kvaderon::DefaultStyleName : kvaderon::DefaultLightStyleName;
    TStyleManager& styles = TStyleManager::Instance();
    if (!styles.TrySetStyle(QString::fromStdString(FSettings.LastStyle))) {
        // A name that no theme has counts as no name.
        FSettings.LastStyle = kvaderon::DefaultStyleName;
        styles.TrySetStyle(QString::fromUtf8(kvaderon::DefaultStyleName));
    }
    resize(QSize(stored.Width, stored.Height) - FrameAllowance);
    FLastOpenFolder = QString::fromStdString(stored.LastOpenFolder);
    FLastSaveFolder = QString::fromStdString(stored.LastSaveFolder);
    if (!FLastSaveFolder.isEmpty() && QFileInfo(FLastSaveFolder).isDir())
        SetOutputFolder(FLastSaveFolder);
    SetStatus(FLastSaveFolder.isEmpty() ? QStringLiteral("Выберите файлы и целевую папку")
                                        : QStringLiteral("Выберите файлы для инверсии"));
}

// A maximised window is stored with its maximised size and comes back as a normal window of it.
kvaderon::TStoredSettings TForm1::CurrentSettings() const {
    kvaderon::TStoredSettings settings;
    settings.App = FSettings;
    settings.App.LastStyle = TStyleManager::Instance().ActiveStyleName().toStdString();
    const QSize size = this->size() + FrameAllowance;
    settings.Width = size.width();
    settings.Height = size.height();
    settings.LastOpenFolder = FLastOpenFolder.toStdString();
    settings.LastSaveFolder = FLastSaveFolder.toStdString();
    return settings;
}

// The file is read again, so that lines written into it meanwhile stay.
void TForm1::SaveSettings() {
    if (FServices.SettingsFile.empty())
        return;
    try {
        kvaderon::TIniFile file(FServices.SettingsFile);
        kvaderon::WriteStoredSettings(file, CurrentSettings());
        file.UpdateFile();
    } catch (const kvaderon::platform::ESystemError& error) {
        ShowMessageDialog(QStringLiteral("Не удалось сохранить настройки: ") + FromPath(FServices.SettingsFile) +
                              QStringLiteral(": ") + QString::fromUtf8(error.what()),
                          QStringLiteral("Ошибка"), true);
    }
}

// During a run the dialog suspends it: its time is not working time.
void TForm1::ShowSettingsDialog() {
    if (FRunActive)
        FProcessingState->PauseTimer();
    const std::optional<kvaderon::TAppSettings> edited = FServices.EditSettings(this, FSettings);
    if (FRunActive)
        FProcessingState->ResumeTimer();
    if (!edited)
        return;
    FSettings = *edited;
    TStyleManager& styles = TStyleManager::Instance();
    const QString chosen = QString::fromStdString(FSettings.LastStyle);
    if (chosen != styles.ActiveStyleName())
        styles.TrySetStyle(chosen);
    ApplyOutputColors();
}
