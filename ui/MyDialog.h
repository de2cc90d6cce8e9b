// TForm2, the choice dialog: an icon, a message and six buttons in two rows on which the caller
// places its captions; the answer is 100 + the ordinal of the pressed caption, or 2.
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QStyle>

#include <array>
#include <memory>
#include <optional>

namespace Ui {
class TForm2;
}
class QPushButton;

class TForm2 : public QDialog {
    Q_OBJECT

public:
    static constexpr int ButtonCount = 6;
    static constexpr int FirstButtonResult = 100;
    // The result when the dialog is closed without pressing a button.
    static constexpr int ClosedResult = 2;
    // The results by the ordinal of the caption pressed.
    enum TDialogAnswer : int {
        daFirstCaption = FirstButtonResult,
        daSecondCaption,
        daThirdCaption,
        daFourthCaption,
        daFifthCaption,
        daSixthCaption,
    };
    // The codes of the predefined icons (AMainIcon); any other code shows miInformation.
    enum TMainIcon : int { miNone = 0, miWarning, miError, miInformation, miQuestion, miShield };

    explicit TForm2(QWidget* AParent = nullptr);
    ~TForm2() override;

    // AButtonCaptions[i] goes on the physical button AButtonIndices[i] (0..5: upper row left to
    // right, then lower row); captions without a valid index are left out. Shows the dialog
    // modally.
    int ExecuteWithButtonMapping(const QString& ACaption, const QString& AText, const QStringList& AButtonCaptions,
                                 const QList<int>& AButtonIndices, int AMainIcon);
    // Caption i goes on physical button i.
    int Execute(const QString& ACaption, const QString& AText, const QStringList& AButtons, int AMainIcon);

    // The Execute functions are these preparations followed by ShowModal.
    void PrepareWithButtonMapping(const QString& ACaption, const QString& AText, const QStringList& AButtonCaptions,
                                  const QList<int>& AButtonIndices, int AMainIcon);
    void Prepare(const QString& ACaption, const QString& AText, const QStringList& AButtons, int AMainIcon);
    int ShowModal();
    // The answer of the last closing: 100 + ordinal after a button, 2 otherwise.
    int ResultCode() const;

    QPushButton* PhysicalButton(int AIndex) const { return FButtons.at(std::size_t(AIndex)); }

    // The predefined icon for an icon code; none for miNone.
    static std::optional<QStyle::StandardPixmap> MainIconKind(int AMainIcon);

    // The click handler of all six buttons.
    void ButtonClick(QObject* ASender);

protected:
    // No button is the cancel button: Escape does not close the dialog.
    void keyPressEvent(QKeyEvent* AEvent) override;
    void showEvent(QShowEvent* AEvent) override;

private:
    void StartPreparation(const QString& ACaption, const QString& AText, int AMainIcon);
    void ShowButton(int APhysicalIndex, const QString& ACaption, int AOrdinal);
    void LoadMainIcon(int AMainIcon);

    std::unique_ptr<Ui::TForm2> FUi;
    std::array<QPushButton*, ButtonCount> FButtons{};
    std::array<QMetaObject::Connection, ButtonCount> FClickHandlers;
    std::array<int, ButtonCount> FButtonOrder{};
    int FResult = 0;
};
