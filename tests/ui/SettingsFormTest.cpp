// The settings dialog: its controls, the theme preview and the theme put back at closing, the
// filters, theming off, the colour set by darkness, OK and Execute.
#include "HostileNames.h"
#include "ColorBox.h"
#include "ColorNames.h"
#include "DefaultSettings.h"
#include "Unit3.h"
#include "platform/StyleManager.h"

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QValidator>

#include <gtest/gtest.h>

#include <functional>

void PrintTo(const QString& AText, std::ostream* AStream);

struct TSettingsFormTestAccess {
    TSettingsForm& Form;
    const kvaderon::TAppSettings& Settings() const { return Form.FSettings; }
};

namespace {

using namespace Qt::Literals::StringLiterals;
using kvaderon::TAppSettings;
using kvaderon::TColor;
using kvaderon::TOutputColors;

const QString DefaultStyle = QString::fromUtf8(kvaderon::DefaultStyleName);

TStyleManager& Styles() {
    return TStyleManager::Instance();
}

QStringList Sorted(QStringList ANames) {
    ANames.sort(Qt::CaseInsensitive);
    return ANames;
}

class SettingsFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Styles().TrySetStyle(DefaultStyle);
        Form = std::make_unique<TSettingsForm>();
    }
    void TearDown() override {
        Form.reset();
        Styles().TrySetStyle(DefaultStyle);
    }

    void Open(const TAppSettings& ASettings = kvaderon::DefaultAppSettings()) {
        Form->Prepare(ASettings);
        Form->show();
    }

    template <typename T = QWidget> T* Control(const char* AName) const {
        T* control = Form->findChild<T*>(QString::fromLatin1(AName));
        EXPECT_NE(control, nullptr) << AName;
        return control;
    }
    QComboBox* StyleList() const { return Control<QComboBox>("ComboBoxStyles"); }
    QStringList ListedNames() const {
        QStringList names;
        for (int i = 0; i < StyleList()->count(); ++i)
            names.append(StyleList()->itemText(i));
        return names;
    }
    TColorBox* ColorBox(int ANumber) const {
        return Control<TColorBox>(QStringLiteral("ColorBox%1").arg(ANumber).toLatin1().constData());
    }
    TOutputColors ShownColors() const {
        return {ColorBox(1)->Selected(), ColorBox(2)->Selected(), ColorBox(3)->Selected(),
                ColorBox(4)->Selected(), ColorBox(5)->Selected(), ColorBox(6)->Selected(),
                ColorBox(7)->Selected()};
    }
    // The user chooses entry AText of a colour box.
    static void Choose(TColorBox* ABox, const QString& AText) {
        const int index = ABox->findText(AText);
        ASSERT_GE(index, 0) << AText.toStdString();
        ABox->setCurrentIndex(index);
        emit ABox->activated(index);
    }
    // The user chooses the first entry, the custom colour, whatever it shows.
    static void ChooseCustom(TColorBox* ABox) {
        ABox->setCurrentIndex(0);
        emit ABox->activated(0);
    }
    TSettingsFormTestAccess Access() { return {*Form}; }

    std::unique_ptr<TSettingsForm> Form;
};

TEST_F(SettingsFormTest, ControlsHaveTheirCaptionsPlacesAndTabOrder) {
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Настройки"));
    EXPECT_EQ(Form->size(), QSize(384, 354));
    EXPECT_EQ(Form->minimumSize(), Form->maximumSize());
    struct TControl {
        const char* Name;
        QRect Place;
        QString Text;
    };
    for (const TControl& control :
         {TControl{"ComboBoxStyles", {143, 8, 241, 23}, {}},
          {"CheckBox1", {2, 11, 129, 17}, QStringLiteral("Темы интерфейса:")},
          {"RadioButton1", {143, 37, 49, 17}, QStringLiteral("Все")},
          {"RadioButton2", {198, 37, 77, 17}, QStringLiteral("Тёмные")},
          {"RadioButton3", {281, 37, 113, 17}, QStringLiteral("Светлые")},
          {"ColorBox1", {90, 69, 106, 22}, {}},
          {"ColorBox2", {90, 97, 107, 22}, {}},
          {"ColorBox3", {90, 125, 109, 22}, {}},
          {"ColorBox4", {89, 153, 109, 22}, {}},
          {"ColorBox5", {275, 69, 107, 22}, {}},
          {"ColorBox6", {275, 97, 109, 22}, {}},
          {"ColorBox7", {275, 125, 107, 22}, {}},
          {"GroupBox1", {0, 194, 384, 78}, {}},
          {"EditPrefix", {16, 43, 121, 23}, {}},
          {"EditPostfix", {208, 43, 121, 23}, {}},
          {"CheckBoxVerify", {8, 278, 370, 17}, QStringLiteral("Проверять каждый позитив после записи")},
          {"CheckInvertPreviews", {8, 298, 370, 17}, QStringLiteral("Инвертировать встроенные миниатюры")},
          {"BitBtnCancel", {160, 322, 109, 25}, QStringLiteral("Отмена")},
          {"BitBtn1", {275, 322, 109, 25}, QStringLiteral("ОК")}}) {
        QWidget* widget = Control(control.Name);
        EXPECT_EQ(widget->geometry(), control.Place) << control.Name;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), control.Text) << control.Name;
        }
    }
    EXPECT_EQ(Control<QGroupBox>("GroupBox1")->title(),
              QStringLiteral(" Имя инвертированного файла (для сохранения в ту же папку): "));
    EXPECT_EQ(Control("CheckBox1")->toolTip(),
              QStringLiteral("Отключить стилизацию интерфейса\n"
                             "(выбрать по умолчанию стандартную тему Windows)"));
    EXPECT_EQ(Control<QLineEdit>("EditPrefix")->alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    QStringList labels;
    for (QLabel* label : Form->findChildren<QLabel*>())
        labels.append(label->text());
    for (const char* text : {"Файлы:", "Параметры:", "Значения:", "Разделители:", "ОК:",
                             "Внимание:", "Ошибка:", "Префикс:", "Постфикс:", "ИмяФайла", ".tif"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;

    const QStringList tabOrder{
        u"ComboBoxStyles"_s, u"CheckBox1"_s,  u"RadioButton1"_s, u"RadioButton2"_s,
        u"RadioButton3"_s,   u"ColorBox1"_s,  u"ColorBox2"_s,    u"ColorBox3"_s,
        u"ColorBox4"_s,      u"ColorBox5"_s,  u"ColorBox6"_s,    u"ColorBox7"_s,
        u"EditPrefix"_s,     u"EditPostfix"_s, u"CheckBoxVerify"_s, u"CheckInvertPreviews"_s, u"BitBtn1"_s};
    QStringList chain;
    QWidget* widget = StyleList();
    do {
        if (tabOrder.contains(widget->objectName()) && !chain.contains(widget->objectName()))
            chain.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != StyleList());
    EXPECT_EQ(chain, tabOrder);
}

TEST_F(SettingsFormTest, ColourBoxListsItsColoursByRussianName) {
    TColorBox* box = ColorBox(1);
    ASSERT_EQ(box->count(), 51);
    EXPECT_EQ(box->itemText(0), QStringLiteral("Другой…"));
    EXPECT_EQ(box->itemText(1), QStringLiteral("Чёрный"));
    EXPECT_EQ(box->itemText(16), QStringLiteral("Белый"));
    EXPECT_EQ(box->itemText(17), QStringLiteral("Светло-зелёный"));
    EXPECT_EQ(box->itemText(21), QStringLiteral("Рамка активного окна"));
    EXPECT_EQ(box->itemText(50), QStringLiteral("Текст окна"));
    for (int i = 1; i < box->count(); ++i)
        EXPECT_FALSE(box->itemText(i).contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
            << box->itemText(i).toStdString();
    EXPECT_EQ(box->findText(QStringLiteral("Default")), -1);
    EXPECT_EQ(box->findText(QStringLiteral("None")), -1);
    EXPECT_EQ(box->maxVisibleItems(), 20);
    EXPECT_EQ(box->font().toString(), Form->font().toString()) << "the box keeps the dialog's font";
    box->SetSelected(kvaderon::RGBColor(17, 17, 17));
    EXPECT_EQ(box->currentIndex(), 0) << "a colour without an entry goes on the first";
    EXPECT_EQ(box->Selected(), kvaderon::RGBColor(17, 17, 17));
    EXPECT_EQ(box->itemText(0), QStringLiteral("#111111")) << "its value beside its swatch";
    box->SetSelected(0xFF00000F);
    EXPECT_EQ(box->currentText(), QStringLiteral("Кнопка"));
    ColorBox(3)->SetSelected(0);
    EXPECT_EQ(ColorBox(3)->currentText(), QStringLiteral("Чёрный"))
        << "not the first entry, even when it holds the same colour";
}

TEST_F(SettingsFormTest, OpensWithAllThemesAndTheColourSetOfTheThemesDarkness) {
    const TAppSettings settings = kvaderon::DefaultAppSettings();
    for (const auto& [style, dark] : {std::pair{DefaultStyle, true},
                                      std::pair{QStringLiteral("Windows10"), false}}) {
        Styles().TrySetStyle(style);
        Form = std::make_unique<TSettingsForm>();
        Open(settings);
        EXPECT_EQ(StyleList()->currentText(), style);
        EXPECT_EQ(ListedNames(), Sorted(Styles().StyleNames()));
        QStringList labels;
        for (const QString& name : ListedNames())
            labels.append(name.toLower().remove(QLatin1Char(' ')).remove(QLatin1Char('_')));
        labels.removeDuplicates();
        EXPECT_EQ(labels.size(), ListedNames().size()) << "no two themes under one label";
        EXPECT_TRUE(Control<QRadioButton>("RadioButton1")->isChecked());
        EXPECT_TRUE(Control<QCheckBox>("CheckBox1")->isChecked());
        EXPECT_EQ(ShownColors(), dark ? settings.OutputColorsBW.B : settings.OutputColorsBW.W)
            << style.toStdString();
        EXPECT_EQ(Control<QLineEdit>("EditPrefix")->text(), QStringLiteral("! "));
        EXPECT_EQ(Styles().ActiveStyleName(), style);
    }
}

TEST_F(SettingsFormTest, PreviewFollowsTheTextAndTheCloseBoxPutsBackTheTheme) {
    Open();
    struct TCase {
        QString Typed;
        QString Active;
        bool OkEnabled;
    };
    for (const TCase& test : {TCase{QStringLiteral("Windows10"), QStringLiteral("Windows10"), true},
                              {QStringLiteral("  jet\t"), QStringLiteral("Jet"), true},
                              {QStringLiteral("Jet Black"), QStringLiteral("Jet"), false},
                              {QString(), QStringLiteral("Jet"), false}}) {
        StyleList()->setEditText(test.Typed);
        EXPECT_EQ(Styles().ActiveStyleName(), test.Active) << test.Typed.toStdString();
        EXPECT_EQ(Control("BitBtn1")->isEnabled(), test.OkEnabled) << test.Typed.toStdString();
    }
    Form->close();
    EXPECT_EQ(Styles().ActiveStyleName(), DefaultStyle);
    EXPECT_EQ(Form->result(), QDialog::Rejected);
}

// Escape, "Отмена" and the close box all leave the dialog as if it had not been opened: the theme
// is put back and no edited value comes back.
TEST_F(SettingsFormTest, EveryWayOutButOkKeepsThemeAndValues) {
    const std::vector<std::pair<const char*, std::function<void(QDialog&)>>> waysOut{
        {"Escape",
         [](QDialog& ADialog) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&ADialog, &escape);
         }},
        {"Отмена", [](QDialog& ADialog) { ADialog.findChild<QPushButton*>(u"BitBtnCancel"_s)->click(); }},
        {"close box", [](QDialog& ADialog) { ADialog.close(); }},
    };
    const TAppSettings before = kvaderon::DefaultAppSettings();
    for (const auto& [name, leave] : waysOut) {
        SCOPED_TRACE(name);
        bool edited = false;
        QTimer::singleShot(0, [&, leave = leave] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QComboBox*>(u"ComboBoxStyles"_s)->setEditText(u"Windows10"_s);
            dialog->findChild<QLineEdit*>(u"EditPrefix"_s)->setText(u"new "_s);
            dialog->findChild<QLineEdit*>(u"EditPostfix"_s)->setText(u"_x"_s);
            edited = Styles().ActiveStyleName() == u"Windows10"_s;
            leave(*dialog);
        });
        TAppSettings after = before;
        after.Prefix = "untouched";
        EXPECT_FALSE(TSettingsForm::Execute(before, after));
        EXPECT_TRUE(edited) << "the dialog previewed the edited theme";
        EXPECT_EQ(after.Prefix, "untouched");
        EXPECT_EQ(Styles().ActiveStyleName(), DefaultStyle);
    }
}

TEST_F(SettingsFormTest, FiltersRefillTheListAndKeepTheText) {
    Open();
    QStringList light;
    for (const QString& name : Styles().StyleNames())
        if (!TStyleManager::DarkThemeNames().contains(name))
            light.append(name);
    struct TCase {
        const char* Button;
        QStringList Names;
    };
    for (const TCase& test : {TCase{"RadioButton2", Sorted(TStyleManager::DarkThemeNames())},
                              {"RadioButton3", Sorted(light)},
                              {"RadioButton1", Sorted(Styles().StyleNames())}}) {
        Control<QRadioButton>(test.Button)->click();
        EXPECT_EQ(ListedNames(), test.Names) << test.Button;
        EXPECT_EQ(StyleList()->currentText(), DefaultStyle) << test.Button;
        EXPECT_EQ(Styles().ActiveStyleName(), DefaultStyle) << test.Button;
    }
    EXPECT_EQ(light.size(), Styles().StyleNames().size() - 32);
    EXPECT_TRUE(light.contains(QStringLiteral("Windows")));

    Control<QRadioButton>("RadioButton2")->click();
    StyleList()->setEditText(QStringLiteral("Windows10"));
    EXPECT_EQ(StyleList()->currentText(), QStringLiteral("Windows10"));
    EXPECT_EQ(Styles().ActiveStyleName(), QStringLiteral("Windows10"));
}

TEST_F(SettingsFormTest, ColourBoxesEditTheSetOfThePreviewedThemesDarkness) {
    const TAppSettings settings = kvaderon::DefaultAppSettings();
    Open(settings);
    Choose(ColorBox(5), QStringLiteral("Красный"));
    EXPECT_EQ(Access().Settings().OutputColorsBW.B.OK, kvaderon::RGBColor(255, 0, 0));
    EXPECT_EQ(Access().Settings().OutputColorsBW.W, settings.OutputColorsBW.W);

    StyleList()->setEditText(QStringLiteral("Windows10"));
    EXPECT_EQ(ShownColors(), settings.OutputColorsBW.W);
    Choose(ColorBox(1), QStringLiteral("Тёмно-синий"));
    EXPECT_EQ(Access().Settings().OutputColorsBW.W.FileName, kvaderon::RGBColor(0, 0, 128));
    EXPECT_EQ(Access().Settings().OutputColorsBW.B.FileName, settings.OutputColorsBW.B.FileName);
}

TEST_F(SettingsFormTest, FirstColourEntryPicksAnyColour) {
    Open();
    std::optional<TColor> answer = TColor(0x00123456);
    std::vector<TColor> asked;
    ColorBox(2)->SetPickColor([&](QWidget*, TColor ACurrent) {
        asked.push_back(ACurrent);
        return answer;
    });
    const TColor before = Access().Settings().OutputColorsBW.B.Names;
    answer.reset();
    ChooseCustom(ColorBox(2));
    EXPECT_EQ(Access().Settings().OutputColorsBW.B.Names, before) << "cancelled";
    EXPECT_EQ(ColorBox(2)->Selected(), before);

    answer = TColor(0x00123456);
    ChooseCustom(ColorBox(2));
    EXPECT_EQ(Access().Settings().OutputColorsBW.B.Names, TColor(0x00123456));
    EXPECT_EQ(asked, (std::vector<TColor>{before, before}));
}

TEST_F(SettingsFormTest, ThemingOffPreviewsWindowsAndOkStoresIt) {
    Open();
    auto* check = Control<QCheckBox>("CheckBox1");
    check->click();
    EXPECT_EQ(Styles().ActiveStyleName(), QStringLiteral("Windows"));
    EXPECT_FALSE(StyleList()->isEnabled());
    check->click();
    EXPECT_TRUE(StyleList()->isEnabled());
    EXPECT_EQ(Styles().ActiveStyleName(), QStringLiteral("Windows"));
    check->click();
    Control<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(Form->result(), QDialog::Accepted);
    EXPECT_EQ(Access().Settings().LastStyle, "Windows");
    EXPECT_EQ(Styles().ActiveStyleName(), DefaultStyle) << "the window applies the choice itself";
}

TEST_F(SettingsFormTest, OkTakesPrefixAndPostfixExactlyAndTheThemesOwnName) {
    Open();
    Control<QLineEdit>("EditPrefix")->setText(QStringLiteral("  a "));
    Control<QLineEdit>("EditPostfix")->setText(QStringLiteral(" б  "));
    StyleList()->setEditText(QStringLiteral(" windows10 "));
    EXPECT_FALSE(Control<QCheckBox>("CheckBoxVerify")->isChecked()) << "off by default";
    EXPECT_FALSE(Control<QCheckBox>("CheckInvertPreviews")->isChecked()) << "off by default";
    Control<QCheckBox>("CheckBoxVerify")->setChecked(true);
    Control<QCheckBox>("CheckInvertPreviews")->setChecked(true);
    Control<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(Form->result(), QDialog::Accepted);
    EXPECT_TRUE(Access().Settings().VerifyAfterWrite);
    EXPECT_TRUE(Access().Settings().InvertPreviews);
    EXPECT_EQ(Access().Settings().Prefix, "  a ");
    EXPECT_EQ(Access().Settings().Postfix, " б  ");
    EXPECT_EQ(Access().Settings().LastStyle, "Windows10");
}

TEST_F(SettingsFormTest, OkDoesNotTakeAPrefixOrPostfixThatIsNoNamePart) {
    for (const std::string& part : kvaderon::test::HostileNameParts) {
        for (const char* edit : {"EditPrefix", "EditPostfix"}) {
            SCOPED_TRACE(std::string(edit) + " " + part);
            Open();
            Control<QLineEdit>(edit)->setText(QString::fromUtf8(part.data(), qsizetype(part.size())));
            Control<QPushButton>("BitBtn1")->click();
            EXPECT_NE(Form->result(), QDialog::Accepted);
            EXPECT_FALSE(Control<QLineEdit>(edit)->hasAcceptableInput());
        }
    }
    for (QString typed : {QStringLiteral("../"), QStringLiteral("a\\b")}) {
        int position = 0;
        EXPECT_EQ(Control<QLineEdit>("EditPrefix")->validator()->validate(typed, position), QValidator::Invalid)
            << "a separator cannot be typed";
    }
}

// Answers the modal dialog once it shows, then lets Execute return.
void WhenDialogShows(std::function<void(TSettingsForm*)> AAnswer) {
    auto* timer = new QTimer;
    QElapsedTimer* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, AAnswer] {
        auto* form = qobject_cast<TSettingsForm*>(QApplication::activeModalWidget());
        if (!form && clock->elapsed() < 5000)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (form)
            AAnswer(form);
    });
    timer->start(10);
}

TEST_F(SettingsFormTest, ExecuteHandsBackSettingsOnlyOnOk) {
    TAppSettings settings = kvaderon::DefaultAppSettings();
    TAppSettings edited;
    WhenDialogShows([](TSettingsForm* AForm) {
        AForm->findChild<QLineEdit*>(QStringLiteral("EditPostfix"))->setText(QStringLiteral("_p"));
        AForm->findChild<QComboBox*>(QStringLiteral("ComboBoxStyles"))
            ->setEditText(QStringLiteral("Windows10"));
        AForm->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    });
    ASSERT_TRUE(TSettingsForm::Execute(settings, edited));
    EXPECT_EQ(edited.Postfix, "_p");
    EXPECT_EQ(edited.LastStyle, "Windows10");
    EXPECT_EQ(Styles().ActiveStyleName(), DefaultStyle);

    WhenDialogShows([](TSettingsForm* AForm) {
        AForm->findChild<QLineEdit*>(QStringLiteral("EditPostfix"))->setText(QStringLiteral("_q"));
        AForm->close();
    });
    EXPECT_FALSE(TSettingsForm::Execute(settings, edited));
    EXPECT_EQ(edited.Postfix, "_p");
}

// Qt knows the web colours by their names: the table must give the same values.
TEST(ColorNamesQt, WebColoursHaveTheirWebValues) {
    int checked = 0;
    for (const kvaderon::TColorName& name : kvaderon::ColorNames().subspan(52)) {
        const QString webName = QString::fromLatin1(name.Name).mid(2).toLower();
        if (!QColor::isValidColorName(webName))
            continue;
        const QColor color = QColor::fromString(webName);
        EXPECT_EQ(name.Color, kvaderon::RGBColor(std::uint8_t(color.red()),
                                                 std::uint8_t(color.green()),
                                                 std::uint8_t(color.blue())))
            << name.Name;
        ++checked;
    }
    EXPECT_EQ(checked, 130) << "every web colour but the three older names";
}

} // namespace
