// Start-up of the window program.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QLabel placeholder(QStringLiteral("Kvaderon"));
    placeholder.show();
    return application.exec();
}
