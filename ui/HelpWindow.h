// The help in a window of its own, for when the log holds results that the help must not erase:
// not modal, in the theme in force, closed by Escape.
#pragma once

#include <QDialog>

class QTextBrowser;

class THelpWindow : public QDialog {
    Q_OBJECT

public:
    THelpWindow(const QString& AHelpText, QWidget* AParent);

    // Shows the window, or brings it to the front when it is open, with the help's first line in
    // sight.
    void ShowOnTop();

private:
    QTextBrowser* FText;
};
