// TSettingsForm, the settings dialog: theme preview and filters, colour sets by darkness, OK and
// closing with the former theme put back.
#include "Unit3.h"

#include "ColorBox.h"
#include "ThemePalette.h"
#include "Unit1.h"
#include "WindowFonts.h"
#include "platform/StyleManager.h"
#include "ui_Unit3.h"

#include "TargetPath.h"

#include <QKeyEvent>
#include <QValidator>
#include <QtDebug>

namespace {

// The theme's exact name for AText (letter case ignored), empty when no theme has it.
QString StyleNamed(const QString& AText) {
    for (const QString& name : TStyleManager::Instance().StyleNames())
        if (name.compare(AText, Qt::CaseInsensitive) == 0)
            return name;
    return {};
}

// The text without blanks and control characters at either end.
QString TrimmedStyleText(const QString& AText) {
    qsizetype first = 0;
    qsizetype last = AText.size();
    auto isTrimmed = [](QChar AChar) { return AChar.isSpace() || AChar.category() == QChar::Other_Control; };
    while (first < last && isTrimmed(AText[first]))
        ++first;
    while (last > first && isTrimmed(AText[last - 1]))
        --last;
    return AText.mid(first, last - first);
}

// Keeps a prefix or postfix a part of a name: separators and NUL cannot be typed, and "." or ".."
// is not acceptable, so OK does not take it.
class TNamePartValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& AInput, int& /*APosition*/) const override {
        if (AInput.contains(QLatin1Char('/')) || AInput.contains(QLatin1Char('\\')) || AInput.contains(QChar(0)))
            return Invalid;
        return kvaderon::IsNamePart(AInput.toStdString()) ? Acceptable : Intermediate;
    }
};

} // namespace

TSettingsForm::TSettingsForm(QWidget* AParent)
    : QDialog(AParent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      FUi(std::make_unique<Ui::TSettingsForm>()) {
    FUi->setupUi(this);
    ApplyWindowFont(this);
    for (QLineEdit* edit : {FUi->EditPrefix, FUi->EditPostfix}) {
        edit->setValidator(new TNamePartValidator(edit));
        edit->setToolTip(QString::fromUtf8(kvaderon::NamePartRule));
    }
    setFixedSize(size());
    FColorBoxes = {FUi->ColorBox1, FUi->ColorBox2, FUi->ColorBox3, FUi->ColorBox4,
                   FUi->ColorBox5, FUi->ColorBox6, FUi->ColorBox7};

    connect(FUi->ComboBoxStyles, &QComboBox::currentTextChanged, this, &TSettingsForm::ComboBoxStylesChange);
    connect(FUi->CheckBox1, &QCheckBox::clicked, this, &TSettingsForm::CheckBox1Click);
    connect(FUi->RadioButton1, &QRadioButton::toggled, this, [this](bool AChecked) {
        if (AChecked)
            RadioButton1Click();
    });
    connect(FUi->RadioButton2, &QRadioButton::toggled, this, [this](bool AChecked) {
        if (AChecked)
            RadioButton2Click();
    });
    connect(FUi->RadioButton3, &QRadioButton::toggled, this, [this](bool AChecked) {
        if (AChecked)
            RadioButton3Click();
    });
    for (TColorBox* box : FColorBoxes)
        connect(box, &TColorBox::Change, this, &TSettingsForm::ColorBox1Change);
    connect(FUi->BitBtn1, &QPushButton::clicked, this, &TSettingsForm::BitBtn1Click);
    connect(FUi->BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(&TStyleManager::Instance(), &TStyleManager::StyleChanged, this, &TSettingsForm::RefreshColorBoxes);
}

TSettingsForm::~TSettingsForm() = default;

bool TSettingsForm::Execute(const kvaderon::TAppSettings& ASettings, kvaderon::TAppSettings& ANewSettings,
                            QWidget* AParent) {
    TSettingsForm form(AParent);
    form.Prepare(ASettings);
    if (form.exec() != QDialog::Accepted)
        return false;
    ANewSettings = form.FSettings;
    return true;
}

void TSettingsForm::Prepare(const kvaderon::TAppSettings& ASettings) {
    FSettings = ASettings;
    FUi->EditPrefix->setText(QString::fromStdString(FSettings.Prefix));
    FUi->EditPostfix->setText(QString::fromStdString(FSettings.Postfix));
    FUi->CheckBoxVerify->setChecked(FSettings.VerifyAfterWrite);
    FUi->CheckInvertPreviews->setChecked(FSettings.InvertPreviews);
    const QString active = TStyleManager::Instance().ActiveStyleName();
    FillStyleList(TStyleManager::Instance().StyleNames());
    FUi->ComboBoxStyles->setEditText(active);
    RefreshColorBoxes();
    FOriginalStyleName = active;
}

// The list is refilled without touching the text, so that neither the text nor the theme change.
void TSettingsForm::FillStyleList(const QStringList& ANames) {
    QComboBox* combo = FUi->ComboBoxStyles;
    const QString text = combo->currentText();
    QStringList sorted = ANames;
    sorted.sort(Qt::CaseInsensitive);
    {
        const QSignalBlocker blocker(combo);
        combo->clear();
        combo->addItems(sorted);
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
    }
    UpdateOkButton();
    if (combo->isEnabled())
        combo->setFocus();
}

// A name that no theme has cannot be confirmed: OK waits for a theme's name.
void TSettingsForm::UpdateOkButton() {
    FUi->BitBtn1->setEnabled(!StyleNamed(TrimmedStyleText(FUi->ComboBoxStyles->currentText())).isEmpty());
}

void TSettingsForm::ComboBoxStylesChange() {
    UpdateOkButton();
    const QString name = TrimmedStyleText(FUi->ComboBoxStyles->currentText());
    // Setting up the dialog before it shows never previews.
    if (name.isEmpty() || !isVisible())
        return;
    if (!TStyleManager::Instance().TrySetStyle(name))
        qDebug().noquote() << QStringLiteral("Preview failed: no theme is named \"%1\"").arg(name);
}

void TSettingsForm::CheckBox1Click() {
    if (FUi->CheckBox1->isChecked()) {
        FUi->ComboBoxStyles->setEnabled(true);
        return;
    }
    FUi->ComboBoxStyles->setEditText(QStringLiteral("Windows"));
    FUi->ComboBoxStyles->setEnabled(false);
}

void TSettingsForm::RadioButton1Click() {
    FillStyleList(TStyleManager::Instance().StyleNames());
}

void TSettingsForm::RadioButton2Click() {
    FillStyleList(TStyleManager::DarkThemeNames());
}

void TSettingsForm::RadioButton3Click() {
    QStringList light;
    for (const QString& name : TStyleManager::Instance().StyleNames())
        if (!TStyleManager::DarkThemeNames().contains(name, Qt::CaseInsensitive))
            light.append(name);
    FillStyleList(light);
}

kvaderon::TOutputColors& TSettingsForm::ShownColors() {
    return IsDarkTheme() ? FSettings.OutputColorsBW.B : FSettings.OutputColorsBW.W;
}

void TSettingsForm::ColorBox1Change() {
    kvaderon::TOutputColors& colors = ShownColors();
    for (std::size_t i = 0; i < FColorBoxes.size(); ++i)
        colors.*kvaderon::ColorRoles[i].Color = FColorBoxes[i]->Selected();
}

void TSettingsForm::RefreshColorBoxes() {
    const kvaderon::TOutputColors& colors = ShownColors();
    for (std::size_t i = 0; i < FColorBoxes.size(); ++i) {
        FColorBoxes[i]->RefreshSwatches();
        FColorBoxes[i]->SetSelected(colors.*kvaderon::ColorRoles[i].Color);
    }
    FUi->LabelColorSet->setText(IsDarkTheme() ? QStringLiteral("Цвета для тёмных тем")
                                              : QStringLiteral("Цвета для светлых тем"));
}

// The theme is stored by its own name, however its letters or blanks were typed.
void TSettingsForm::BitBtn1Click() {
    const QString style = StyleNamed(TrimmedStyleText(FUi->ComboBoxStyles->currentText()));
    const std::string prefix = FUi->EditPrefix->text().toStdString();
    const std::string postfix = FUi->EditPostfix->text().toStdString();
    if (style.isEmpty() || !kvaderon::IsNamePart(prefix) || !kvaderon::IsNamePart(postfix))
        return;
    FSettings.Prefix = prefix;
    FSettings.Postfix = postfix;
    FSettings.VerifyAfterWrite = FUi->CheckBoxVerify->isChecked();
    FSettings.InvertPreviews = FUi->CheckInvertPreviews->isChecked();
    FSettings.LastStyle = style.toStdString();
    accept();
}

void TSettingsForm::done(int AResult) {
    FormClose();
    QDialog::done(AResult);
}

void TSettingsForm::FormClose() {
    TStyleManager& styles = TStyleManager::Instance();
    if (!FOriginalStyleName.isEmpty() && FOriginalStyleName != styles.ActiveStyleName())
        styles.TrySetStyle(FOriginalStyleName);
}

std::optional<kvaderon::TAppSettings> EditSettingsInDialog(QWidget* AParent, const kvaderon::TAppSettings& ASettings) {
    kvaderon::TAppSettings edited;
    if (!TSettingsForm::Execute(ASettings, edited, AParent))
        return std::nullopt;
    return edited;
}
