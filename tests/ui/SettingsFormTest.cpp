// The settings dialog: its controls, the theme preview and the theme put back at closing, the
// filters, theming off, the colour set by darkness, OK and Execute.
#include "ColorBox.h"
#include "ColorNames.h"
#include "DefaultSettings.h"
#include "HostileNames.h"
#include "ThemeTable.h"
#include "Unit3.h"
#include "platform/StyleManager.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
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
        return {ColorBox(1)->Selected(), ColorBox(2)->Selected(), ColorBox(3)->Selected(), ColorBox(4)->Selected(),
                ColorBox(5)->Selected(), ColorBox(6)->Selected(), ColorBox(7)->Selected()};
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

// The controls a user works with, and their captions where they have one.
struct TControl {
    const char* Name;
    QString Text;
};
const TControl controls[] = {
    {"ComboBoxStyles", {}},
    {"CheckBox1", QStringLiteral("Темы интерфейса:")},
    {"RadioButton1", QStringLiteral("Все")},
    {"RadioButton2", QStringLiteral("Тёмные")},
    {"RadioButton3", QStringLiteral("Светлые")},
    {"ColorBox1", {}},
    {"ColorBox2", {}},
    {"ColorBox3", {}},
    {"ColorBox4", {}},
    {"ColorBox5", {}},
    {"ColorBox6", {}},
    {"ColorBox7", {}},
    {"EditPrefix", {}},
    {"EditPostfix", {}},
    {"CheckBoxVerify", QStringLiteral("Проверять каждый позитив после записи")},
    {"CheckInvertPreviews", QStringLiteral("Инвертировать встроенные миниатюры")},
    {"BitBtnCancel", QStringLiteral("Отмена")},
    {"BitBtn1", QStringLiteral("ОК")},
};

// A left click where the user sees AControl: its centre, delivered to the widget found there.
// Returns that widget.
QWidget* ClickCentre(QWidget& AForm, QWidget& AControl) {
    const QPoint centre = AControl.mapTo(&AForm, AControl.rect().center());
    QWidget* hit = AForm.childAt(centre);
    if (hit == nullptr)
        return nullptr;
    const QPointF local = hit->mapFrom(&AForm, centre);
    const QPointF global = hit->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(hit, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(hit, &release);
    return hit;
}

// At the dialog's own size and at its smallest, every control is shown inside the dialog and
// whatever holds it, nothing covers its centre, and a click there reaches it: a button reports
// the click, a closed list opens.
TEST_F(SettingsFormTest, EveryControlIsVisibleAndTakesAClickAtEverySize) {
    EXPECT_EQ(Form->minimumSize(), Form->maximumSize()) << "the dialog keeps its size";
    for (const bool smallest : {false, true}) {
        for (const TControl& control : controls) {
            SCOPED_TRACE(testing::Message() << control.Name << (smallest ? ", smallest size" : ", own size"));
            Form = std::make_unique<TSettingsForm>();
            Open();
            if (smallest)
                Form->resize(Form->minimumSize());
            QCoreApplication::processEvents();
            QWidget* widget = Control(control.Name);
            ASSERT_NE(widget, nullptr);
            EXPECT_TRUE(widget->isVisible());
            EXPECT_TRUE(widget->isEnabled());
            // Its corner and its centre inside the dialog and every group around it. (A caption's
            // box may reach past an edge the caption itself stays inside.)
            for (QWidget* inner = widget; inner != Form.get(); inner = inner->parentWidget()) {
                const QRect place = inner->geometry();
                EXPECT_TRUE(inner->parentWidget()->rect().contains(place.topLeft()) &&
                            inner->parentWidget()->rect().contains(place.center()))
                    << inner->objectName().toStdString() << " leaves "
                    << inner->parentWidget()->objectName().toStdString();
            }
            int clicks = 0;
            auto* button = qobject_cast<QAbstractButton*>(widget);
            if (button != nullptr)
                QObject::connect(button, &QAbstractButton::clicked, [&] { ++clicks; });
            QWidget* hit = ClickCentre(*Form, *widget);
            ASSERT_TRUE(hit == widget || widget->isAncestorOf(hit))
                << "covered by " << (hit == nullptr ? std::string("nothing") : hit->objectName().toStdString());
            if (button != nullptr) {
                EXPECT_EQ(clicks, 1);
            }
            auto* box = qobject_cast<QComboBox*>(widget);
            if (box != nullptr && !box->isEditable()) {
                EXPECT_TRUE(box->view()->isVisible()) << "the list opens";
                box->hidePopup();
            }
        }
    }
}

TEST_F(SettingsFormTest, ControlsHaveTheirCaptionsAndTabOrder) {
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Настройки"));
    for (const TControl& control : controls) {
        if (auto* button = qobject_cast<QAbstractButton*>(Control(control.Name))) {
            EXPECT_EQ(button->text(), control.Text) << control.Name;
        }
    }
    EXPECT_EQ(Control<QGroupBox>("GroupBox1")->title(),
              QStringLiteral(" Имя инвертированного файла (для сохранения в ту же папку): "));
    EXPECT_EQ(Control("CheckBox1")->toolTip(), QStringLiteral("Отключить стилизацию интерфейса\n"
                                                              "(выбрать по умолчанию стандартную тему Windows)"));
    EXPECT_EQ(Control<QLineEdit>("EditPrefix")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QStringList labels;
    for (QLabel* label : Form->findChildren<QLabel*>())
        labels.append(label->text());
    for (const char* text : {"Файлы:", "Параметры:", "Значения:", "Разделители:", "ОК:", "Внимание:", "Ошибка:",
                             "Префикс:", "Постфикс:", "ИмяФайла", ".tif"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;

    const QStringList tabOrder{u"ComboBoxStyles"_s, u"CheckBox1"_s,   u"RadioButton1"_s,   u"RadioButton2"_s,
                               u"RadioButton3"_s,   u"ColorBox1"_s,   u"ColorBox2"_s,      u"ColorBox3"_s,
                               u"ColorBox4"_s,      u"ColorBox5"_s,   u"ColorBox6"_s,      u"ColorBox7"_s,
                               u"EditPrefix"_s,     u"EditPostfix"_s, u"CheckBoxVerify"_s, u"CheckInvertPreviews"_s,
                               u"BitBtn1"_s};
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
    for (const auto& [style, dark] : {std::pair{DefaultStyle, true}, std::pair{QStringLiteral("Windows10"), false}}) {
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
        EXPECT_EQ(ShownColors(), dark ? settings.OutputColorsBW.B : settings.OutputColorsBW.W) << style.toStdString();
        EXPECT_EQ(Control<QLineEdit>("EditPrefix")->text(), QStringLiteral("! "));
        EXPECT_EQ(Styles().ActiveStyleName(), style);
    }
}

// Every theme of the table the program carries is in the list under its name, and choosing it
// there gives the application that theme's window colour.
TEST_F(SettingsFormTest, EveryThemeOfTheTableIsOfferedAndApplies) {
    const std::vector<TThemeLine> table = CarriedThemes();
    ASSERT_FALSE(table.empty());
    Open();
    for (const TThemeLine& theme : table) {
        SCOPED_TRACE(theme.Name.toStdString());
        const int index = StyleList()->findText(theme.Name);
        ASSERT_GE(index, 0) << "not offered";
        StyleList()->setCurrentIndex(index);
        EXPECT_EQ(Styles().ActiveStyleName(), theme.Name);
        EXPECT_EQ(QApplication::palette().color(QPalette::Window), theme.Window);
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
        AForm->findChild<QComboBox*>(QStringLiteral("ComboBoxStyles"))->setEditText(QStringLiteral("Windows10"));
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
        EXPECT_EQ(name.Color, kvaderon::RGBColor(std::uint8_t(color.red()), std::uint8_t(color.green()),
                                                 std::uint8_t(color.blue())))
            << name.Name;
        ++checked;
    }
    EXPECT_EQ(checked, 130) << "every web colour but the three older names";
}

} // namespace
