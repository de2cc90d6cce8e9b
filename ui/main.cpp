// Start-up of the window program: the default theme, the title, the settings file, the main
// window with the files named on the command line, the event loop.
#include "DefaultSettings.h"
#include "DialogManager.h"
#include "ResourceIcon.h"
#include "SettingsLocation.h"
#include "Unit1.h"
#include "platform/StyleManager.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
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
            QStringLiteral("Ошибка"),
            QStringLiteral("Не удалось применить тему «%1»").arg(defaultStyle),
            {QStringLiteral("OK")}, {1}, 1);
    QApplication::setApplicationName(QStringLiteral("Kvaderon TIFF-файлов"));
    // The window's class and the desktop entry kvaderon.desktop belong together.
    QGuiApplication::setDesktopFileName(QStringLiteral("kvaderon"));

    TForm1Services services;
    services.SettingsFile = SettingsFilePath();
    TForm1 window(std::move(services));
    // Files named on the command line ("Open with" in a file manager) come in as a drop would.
    window.OpenFiles(QApplication::arguments().mid(1));
    window.show();
    return QApplication::exec();
}
