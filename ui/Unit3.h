// TSettingsForm, the settings dialog: the theme with a live preview and a filter for dark and
// light themes, theming off, the log colours of the set that belongs to the theme's darkness,
// prefix and postfix. It edits a copy of the settings and hands it back only on OK; closing it in
// any other way (Cancel, Escape, the close box) puts back the theme that was active when it
// opened and keeps every value as it was.
#pragma once

#include "ColorText.h"
#include "CommonTypes.h"

#include <QDialog>

#include <array>
#include <memory>
#include <optional>

namespace Ui {
class TSettingsForm;
}
class TColorBox;

class TSettingsForm : public QDialog {
    Q_OBJECT

public:
    explicit TSettingsForm(QWidget* AParent = nullptr);
    ~TSettingsForm() override;

    // Shows the dialog modally for ASettings; true when the user confirmed, and then the edited
    // settings are in ANewSettings.
    static bool Execute(const kvaderon::TAppSettings& ASettings, kvaderon::TAppSettings& ANewSettings,
                        QWidget* AParent = nullptr);

    // Execute's steps before showing: the working copy, the controls, the theme to put back.
    void Prepare(const kvaderon::TAppSettings& ASettings);

    // Closing, with OK or without: puts back the theme that was active when the dialog opened.
    void done(int AResult) override;

private:
    friend struct TSettingsFormTestAccess;

    // Handlers, named after control and event. Their names and numbers come from the form
    // resources/Unit3.ui.
    void ComboBoxStylesChange();
    void CheckBox1Click();    // "Отключить стилизацию интерфейса"
    void RadioButton1Click(); // "Все"
    void RadioButton2Click(); // "Тёмные"
    void RadioButton3Click(); // "Светлые"
    void ColorBox1Change();   // every ColorBox1 to ColorBox7
    void BitBtn1Click();      // "ОК"
    void FormClose();
    void RefreshColorBoxes();

    void FillStyleList(const QStringList& ANames);
    void UpdateOkButton();
    kvaderon::TOutputColors& ShownColors();

    std::unique_ptr<Ui::TSettingsForm> FUi;
    std::array<TColorBox*, kvaderon::ColorRoles.size()> FColorBoxes{}; // one per colour role
    kvaderon::TAppSettings FSettings;
    QString FOriginalStyleName;
};

// TSettingsForm::Execute as the main window's settings service: the edited settings, or nothing.
std::optional<kvaderon::TAppSettings> EditSettingsInDialog(QWidget* AParent, const kvaderon::TAppSettings& ASettings);
