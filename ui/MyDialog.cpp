// TForm2, the choice dialog: captions placed on physical buttons, the icon, and the answer.
#include "MyDialog.h"

#include "WindowFonts.h"
#include "ui_MyDialog.h"

#include <QKeyEvent>
#include <QPushButton>

TForm2::TForm2(QWidget* AParent)
    : QDialog(AParent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      FUi(std::make_unique<Ui::TForm2>()) {
    FUi->setupUi(this);
    ApplyWindowFont(this);
    setFixedSize(size());
    FButtons = {FUi->sBitBtn1, FUi->sBitBtn2, FUi->sBitBtn3, FUi->sBitBtn4, FUi->sBitBtn5, FUi->sBitBtn6};
    FButtonOrder.fill(-1);
}

TForm2::~TForm2() = default;

int TForm2::ExecuteWithButtonMapping(const QString& ACaption, const QString& AText, const QStringList& AButtonCaptions,
                                     const QList<int>& AButtonIndices, int AMainIcon) {
    PrepareWithButtonMapping(ACaption, AText, AButtonCaptions, AButtonIndices, AMainIcon);
    return ShowModal();
}

int TForm2::Execute(const QString& ACaption, const QString& AText, const QStringList& AButtons, int AMainIcon) {
    Prepare(ACaption, AText, AButtons, AMainIcon);
    return ShowModal();
}

void TForm2::StartPreparation(const QString& ACaption, const QString& AText, int AMainIcon) {
    setWindowTitle(ACaption);
    for (int i = 0; i < ButtonCount; ++i) {
        FButtons[i]->hide();
        FButtons[i]->setDefault(false);
        disconnect(FClickHandlers[i]);
        FButtonOrder[i] = -1;
    }
    FUi->sLabel1->setText(AText);
    LoadMainIcon(AMainIcon);
    FResult = 0;
    setResult(QDialog::Rejected);
}

void TForm2::PrepareWithButtonMapping(const QString& ACaption, const QString& AText, const QStringList& AButtonCaptions,
                                      const QList<int>& AButtonIndices, int AMainIcon) {
    StartPreparation(ACaption, AText, AMainIcon);
    int ordinal = 0;
    for (qsizetype i = 0; i < AButtonCaptions.size() && i < AButtonIndices.size(); ++i) {
        const int physical = AButtonIndices[i];
        if (physical < 0 || physical >= ButtonCount)
            continue;
        ShowButton(physical, AButtonCaptions[i], ordinal);
        ++ordinal;
    }
}

void TForm2::Prepare(const QString& ACaption, const QString& AText, const QStringList& AButtons, int AMainIcon) {
    StartPreparation(ACaption, AText, AMainIcon);
    for (int i = 0; i < ButtonCount && i < AButtons.size(); ++i)
        ShowButton(i, AButtons[i], i);
}

void TForm2::ShowButton(int APhysicalIndex, const QString& ACaption, int AOrdinal) {
    QPushButton* button = FButtons[APhysicalIndex];
    button->setText(ACaption);
    button->show();
    FClickHandlers[APhysicalIndex] =
        connect(button, &QPushButton::clicked, this, [this, button] { ButtonClick(button); });
    FButtonOrder[APhysicalIndex] = AOrdinal;
    if (AOrdinal == 0)
        button->setDefault(true);
}

void TForm2::LoadMainIcon(int AMainIcon) {
    FUi->sImage1->clear();
    const std::optional<QStyle::StandardPixmap> kind = MainIconKind(AMainIcon);
    if (!kind)
        return;
    const QIcon icon = style()->standardIcon(*kind, nullptr, this);
    if (!icon.isNull())
        FUi->sImage1->setPixmap(icon.pixmap(32, 32));
}

std::optional<QStyle::StandardPixmap> TForm2::MainIconKind(int AMainIcon) {
    switch (AMainIcon) {
    case miNone:
        return std::nullopt;
    case miWarning:
        return QStyle::SP_MessageBoxWarning;
    case miError:
        return QStyle::SP_MessageBoxCritical;
    case miQuestion:
        return QStyle::SP_MessageBoxQuestion;
    case miShield:
        return QStyle::SP_VistaShield;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

int TForm2::ShowModal() {
    exec();
    return ResultCode();
}

int TForm2::ResultCode() const {
    return result() == QDialog::Accepted ? FResult : ClosedResult;
}

void TForm2::ButtonClick(QObject* ASender) {
    const auto* button = qobject_cast<QPushButton*>(ASender);
    if (button == nullptr)
        return;
    for (int i = 0; i < ButtonCount; ++i) {
        if (FButtons[i] == button) {
            FResult = FButtonOrder[i] + FirstButtonResult;
            accept();
            return;
        }
    }
}

void TForm2::keyPressEvent(QKeyEvent* AEvent) {
    if (AEvent->key() == Qt::Key_Escape) {
        AEvent->accept();
        return;
    }
    QDialog::keyPressEvent(AEvent);
}

void TForm2::showEvent(QShowEvent* AEvent) {
    QDialog::showEvent(AEvent);
    // Enter presses the default button, also when another button comes first in the tab order.
    for (QPushButton* button : FButtons) {
        if (button->isDefault()) {
            button->setFocus();
            break;
        }
    }
}
