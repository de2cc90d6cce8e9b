// Start-up of the window program: the default theme, the title, the settings file, the main
// window with the files named on the command line, the event loop.
#include "DefaultSettings.h"
#include "DialogManager.h"
#include "MyDialog.h"
#include "NativePaths.h"
#include "ResourceIcon.h"
#include "SettingsLocation.h"
#include "Unit1.h"
#include "Version.h"
#include "platform/ParentConsole.h"
#include "platform/SingleInstance.h"
#include "platform/StandardDescriptors.h"
#include "platform/StyleManager.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>
#include <string>

namespace {

// The text that "--help" or "--version" asks for, empty when neither comes before "--"; any
// other argument is a file or folder to take.
std::string InformationText(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return {};
        if (std::strcmp(argv[i], "--version") == 0)
            return "kvaderon v." + GetVersionText().toStdString() + "\n";
        if (std::strcmp(argv[i], "--help") == 0)
            return "Использование: kvaderon [ФАЙЛ|ПАПКА]...\n"
                   "Окно для инверсии 16-битных несжатых TIFF-негативов без потерь и проверки\n"
                   "16-битности данных. Файлы и папки из командной строки принимаются так же, как\n"
                   "перетащенные в окно (папка означает все TIFF-файлы в ней и во вложенных папках);\n"
                   "обработка начинается только по кнопке.\n"
                   "  --help     эта справка\n"
                   "  --version  версия программы\n"
                   "Для сценариев: kvaderon-cli --help\n";
    }
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    if (!kvaderon::platform::OpenMissingStandardDescriptors())
        return 1;
    // "--help" and "--version" answer before any window exists.
    if (const std::string information = InformationText(argc, argv); !information.empty())
        return WriteToParentConsole(information) ? 0 : 1;
    QApplication application(argc, argv);
    application.setWindowIcon(ResourceIcon(QStringLiteral("kvaderon")));
    // Qt's own dialogs speak Russian where Qt's translations are installed: "qt" is the catalog
    // windeployqt writes and Linux distributions ship, "qtbase" the one a Qt kit holds.
    QTranslator qtTranslator;
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString& catalog : {QStringLiteral("qt"), QStringLiteral("qtbase")}) {
        if (qtTranslator.load(QLocale(QLocale::Russian), catalog, QStringLiteral("_"), translations)) {
            QApplication::installTranslator(&qtTranslator);
            break;
        }
    }

    const QString defaultStyle = QString::fromUtf8(kvaderon::DefaultStyleName);
    if (!TStyleManager::Instance().TrySetStyle(defaultStyle))
        TDialogManager().CreateCustomDialogWithMapping(
            QStringLiteral("Ошибка"), QStringLiteral("Не удалось применить тему «%1»").arg(defaultStyle),
            {QStringLiteral("OK")}, {1}, TForm2::miWarning);
    QApplication::setApplicationName(QStringLiteral("Kvaderon TIFF-файлов"));
    // The window's class and the desktop entry kvaderon.desktop belong together.
    QGuiApplication::setDesktopFileName(QStringLiteral("kvaderon"));

    // Files named on the command line ("Open with" in a file manager) come in as a drop would; a
    // window that already runs takes them into its list instead, and this start ends.
    QStringList arguments = QApplication::arguments().mid(1);
    arguments.removeOne(QStringLiteral("--"));
    for (QString& path : arguments)
        path = QFileInfo(path).absoluteFilePath();
    TForm1Services services;
    services.SettingsFile = SettingsFilePath();
    TForm1* running = nullptr;
    TSingleInstance instance(TSingleInstance::KeyFor(FromPath(services.SettingsFile)));
    const bool first = instance.ClaimOrHandOver(arguments, [&running](const QStringList& AFiles) {
        if (running == nullptr)
            return;
        running->OpenFiles(AFiles, true);
        running->setWindowState(running->windowState() & ~Qt::WindowMinimized);
        running->raise();
        running->activateWindow();
    });
    if (!first)
        return 0;

    TForm1 window(std::move(services));
    running = &window;
    window.OpenFiles(arguments);
    window.show();
    return QApplication::exec();
}
