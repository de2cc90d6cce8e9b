// The main window and its settings file: what comes back after closing and starting again,
// recovery from bad files, the message when the file cannot be written, the settings button.
#include "Form1Fixture.h"
#include "NativePaths.h"
#include "SettingsLocation.h"
#include "platform/StyleManager.h"

#include "DefaultSettings.h"
#include "PathText.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <QFileInfo>

#include <vector>

namespace {

namespace fs = std::filesystem;
using kvaderon::test::ReadTextFile;
using kvaderon::test::TTempDir;
using kvaderon::test::WriteTextFile;

class SettingsWindowTest : public Form1Test {
protected:
    void TearDown() override {
        Form.reset();
        TStyleManager::Instance().TrySetStyle(QString::fromUtf8(kvaderon::DefaultStyleName));
    }

    TTempDir Dir;
    fs::path File = Dir / "kvaderon.ini";
};

TEST_F(SettingsWindowTest, TheFirstStartFollowsTheDesktopAndLaterStartsTheStoredTheme) {
    struct TCase {
        const char* Name;
        const char* FileText; // nullptr: no file
        bool SystemIsDark;
        QString Theme;
    };
    const std::vector<TCase> cases = {
        {"no file, light desktop", nullptr, false, QStringLiteral("Windows10")},
        {"no file, dark desktop", nullptr, true, QStringLiteral("Windows10 Charcoal")},
        {"a file without a theme, light desktop", "[Files]\nLastSaveFolder=\n", false, QStringLiteral("Windows10")},
        {"a stored dark theme, light desktop", "[Application]\nVCLStyle=Aqua Graphite\n", false,
         QStringLiteral("Aqua Graphite")},
        {"a stored light theme, dark desktop", "[Application]\nVCLStyle=Windows11 Modern Light\n", true,
         QStringLiteral("Windows11 Modern Light")},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        fs::remove(File);
        if (test.FileText != nullptr)
            WriteTextFile(File, test.FileText);
        Script->SystemIsDark = test.SystemIsDark;
        Form = MakeForm(File);
        EXPECT_EQ(TStyleManager::Instance().ActiveStyleName(), test.Theme);
        Form->close();
        Form.reset();
        // Closed, the window stores the theme it started with; the next start keeps it.
        Script->SystemIsDark = !test.SystemIsDark;
        Form = MakeForm(File);
        EXPECT_EQ(TStyleManager::Instance().ActiveStyleName(), test.Theme);
        Form.reset();
    }
}

TEST_F(SettingsWindowTest, StoredDestinationDecidesStartStatus) {
    struct TCase {
        QString LastSaveFolder;
        QString FolderLabel;
        QString Status;
        bool OpenEnabled;
    };
    const QString existing = Native(Dir.Path()) + QStringLiteral("/");
    const QString missing = existing + QStringLiteral("gone/");
    for (const TCase& test :
         {TCase{existing, existing, QStringLiteral("Выберите файлы для инверсии"), true},
          TCase{missing, QStringLiteral("Папка не выбрана"), QStringLiteral("Выберите файлы для инверсии"), false},
          TCase{QString(), QStringLiteral("Папка не выбрана"), QStringLiteral("Выберите файлы и целевую папку"),
                false}}) {
        WriteTextFile(File, "[Files]\nLastSaveFolder=" + test.LastSaveFolder.toStdString() + "\n");
        Form = MakeForm(File);
        EXPECT_EQ(LabelText("lblFolderName"), test.FolderLabel);
        EXPECT_EQ(LabelText("lblStatus"), test.Status);
        EXPECT_EQ(Control("BitBtn5")->isEnabled(), test.OpenEnabled);
        EXPECT_EQ(Access().LastSaveFolder(), test.LastSaveFolder);
    }
}

TEST_F(SettingsWindowTest, EverythingComesBackAfterClosingAndStartingAgain) {
    WriteTextFile(File, "; kept by hand\n[Application]\nMine=1\n");
    const QString folder = Native(Dir.Path()) + QStringLiteral("/Плёнка 1975/");
    fs::create_directory(Dir.Path() / u8"Плёнка 1975");

    Form = MakeForm(File);
    kvaderon::TAppSettings edited = Access().Settings();
    edited.Prefix = "! ";
    edited.Postfix = "  _pos";
    edited.OutputColorsBW.W.OK = 0x00123456;
    edited.OutputColorsBW.B.Error = kvaderon::RGBColor(1, 2, 3);
    Script->NextSettings = edited;
    Access().ShowSettingsDialog();
    TStyleManager::Instance().TrySetStyle(QStringLiteral("Windows10")); // the window menu
    Form->resize(900 - 16, 700 - 38);
    Access().LastOpenFolder() = folder;
    Access().LastSaveFolder() = folder;
    Form->close();
    Form.reset();
    TStyleManager::Instance().TrySetStyle(QString::fromUtf8(kvaderon::DefaultStyleName));

    const std::string text = ReadTextFile(File);
    EXPECT_TRUE(text.starts_with("; kept by hand\n[Application]\nMine=1\nVCLStyle=Windows10\n")) << text;
    EXPECT_NE(text.find("Postfix=\"  _pos\"\n"), std::string::npos) << text;

    Form = MakeForm(File);
    edited.LastStyle = "Windows10";
    EXPECT_EQ(Access().Settings(), edited);
    EXPECT_EQ(TStyleManager::Instance().ActiveStyleName(), QStringLiteral("Windows10"));
    EXPECT_EQ(Access().OutputColors(), edited.OutputColorsBW.W);
    EXPECT_EQ(Form->size(), QSize(900 - 16, 700 - 38));
    EXPECT_EQ(Access().LastOpenFolder(), folder);
    EXPECT_EQ(Access().OutputFolder(), folder);
}

TEST_F(SettingsWindowTest, MaximisedWindowComesBackAsANormalWindowOfItsSize) {
    Form = MakeForm(File);
    Form->showMaximized();
    ASSERT_TRUE(WaitUntil([this] { return Form->isMaximized() && Form->width() > 640; }));
    const QSize maximised = Form->size();
    Form->close();
    Form = MakeForm(File);
    Form->show();
    EXPECT_FALSE(Form->isMaximized());
    EXPECT_EQ(Form->size(), maximised);
}

TEST_F(SettingsWindowTest, BadValuesFallBackToTheirDefaults) {
    for (const std::string& text : {std::string("[Application]\nVCLStyle=No Such Theme\nHeight=tall\nWidth=700\n"
                                                "[Colors]\nOK_B=strawberry\nOK_W=#010203\n"),
                                    std::string("\0\xFF\xFE[Application\n\x01=\x02\n", 15)}) {
        WriteTextFile(File, text);
        Form = MakeForm(File);
        EXPECT_EQ(TStyleManager::Instance().ActiveStyleName(), QStringLiteral("Windows10 Charcoal"));
        EXPECT_EQ(Access().Settings().LastStyle, kvaderon::DefaultStyleName);
        EXPECT_EQ(Form->height(), 480 - 38);
        EXPECT_EQ(Access().Settings().OutputColorsBW.B.OK, kvaderon::DefaultOutputColors().B.OK);
        EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Выберите файлы и целевую папку"));
    }
    EXPECT_EQ(Access().Settings().OutputColorsBW.W.OK, kvaderon::DefaultOutputColors().W.OK);
    Form->close();
    EXPECT_TRUE(ReadTextFile(File).starts_with(std::string("\0\xFF\xFE[Application\n\x01=\x02\n", 15)))
        << "a binary file keeps its bytes";
    EXPECT_TRUE(Script->Questions.empty());
}

TEST_F(SettingsWindowTest, FileThatCannotBeWrittenIsReportedAndClosingGoesOn) {
    struct TCase {
        fs::path File;
        QString Reason;
    };
    WriteTextFile(Dir / "plain", "x");
    fs::create_directory(Dir / "folder.ini");
    for (const TCase& test : {TCase{Dir / "plain" / "kvaderon.ini", QStringLiteral("Часть пути не является папкой")},
                              TCase{Dir / "folder.ini", QStringLiteral("Указан путь к папке, а не к файлу")}}) {
        Script->Questions.clear();
        Form = MakeForm(test.File);
        EXPECT_EQ(TStyleManager::Instance().ActiveStyleName(), QStringLiteral("Windows10 Charcoal"))
            << "the window comes up fully";
        Form->close();
        ASSERT_EQ(Script->Questions.size(), 1u);
        const TDialogQuestion& question = Script->Questions[0];
        EXPECT_EQ(question.Text, QStringLiteral("Не удалось сохранить настройки: ") + Native(test.File) +
                                     QStringLiteral(": ") + test.Reason);
        EXPECT_EQ(question.Caption, QStringLiteral("Ошибка"));
        EXPECT_EQ(question.MainIcon, 1);
    }
    EXPECT_EQ(ReadTextFile(Dir / "plain"), "x");
}

TEST_F(SettingsWindowTest, SettingsButtonTakesOverConfirmedSettingsOnly) {
    Control<QToolButton>("SpeedButton2")->click();
    ASSERT_EQ(Script->EditedSettings.size(), 1u);
    EXPECT_EQ(Script->EditedSettings[0], Access().Settings());
    EXPECT_EQ(Access().Settings().LastStyle, "Windows10 Charcoal") << "closed: nothing changes";

    kvaderon::TAppSettings edited = Access().Settings();
    edited.LastStyle = "Windows10";
    edited.Prefix = " p ";
    edited.OutputColorsBW.W.Names = 0x00ABCDEF;
    Script->NextSettings = edited;
    Control<QToolButton>("SpeedButton2")->click();
    EXPECT_EQ(Access().Settings(), edited);
    EXPECT_EQ(TStyleManager::Instance().ActiveStyleName(), QStringLiteral("Windows10"));
    EXPECT_EQ(Access().OutputColors(), edited.OutputColorsBW.W);
}

TEST(SettingsLocation, BesideTheExecutableUnlessItsFolderIsASystemReadOnlyOrInstalledOne) {
    TTempDir dir;
    const QString folder = Native(dir.Path());
    const QString installed = folder + QStringLiteral("/installed");
    const QString installedWithIni = folder + QStringLiteral("/installed-with-ini");
    for (const QString& sub : {installed, installedWithIni}) {
        ASSERT_TRUE(QDir().mkpath(sub));
        WriteTextFile(ToPath(sub + QLatin1Char('/') + QLatin1String(InstalledMarker)), "");
    }
    WriteTextFile(ToPath(installedWithIni + QStringLiteral("/kvaderon.ini")), "");
    const QString config = QStringLiteral("/home/user/.config/kvaderon");
    struct TCase {
        QString Executable;
        QString Expected;
    };
    std::vector<TCase> cases{
        {folder + QStringLiteral("/kvaderon"), folder + QStringLiteral("/kvaderon.ini")},
        {folder + QStringLiteral("/missing/kvaderon"), config + QStringLiteral("/kvaderon.ini")},
        {installed + QStringLiteral("/kvaderon.exe"), config + QStringLiteral("/kvaderon.ini")},
        {installedWithIni + QStringLiteral("/kvaderon.exe"), installedWithIni + QStringLiteral("/kvaderon.ini")}};
    // Where /usr is the system's folder: on Windows the path names a folder of the current drive.
    if (QFileInfo(QStringLiteral("/usr")).absoluteFilePath() == QStringLiteral("/usr"))
        cases.push_back({QStringLiteral("/usr/bin/kvaderon"), config + QStringLiteral("/kvaderon.ini")});
    for (const TCase& test : cases)
        EXPECT_EQ(SettingsFilePath(test.Executable, config), kvaderon::Utf8ToPath(test.Expected.toStdString()))
            << test.Executable.toStdString();
}

} // namespace
