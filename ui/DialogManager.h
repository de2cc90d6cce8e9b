// TDialogManager: makes, shows and frees one choice dialog per question, and offers the folder
// chooser. Every question of the program goes through it, so a test hands the window a subclass
// with scripted answers and no dialog opens.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class TDialogManager : public QObject {
    Q_OBJECT

public:
    // AOwner is the window over which the dialogs open; it may be set later with SetOwner.
    explicit TDialogManager(QWidget* AOwner = nullptr);

    void SetOwner(QWidget* AOwner) { FOwner = AOwner; }

    // The answer of TForm2::ExecuteWithButtonMapping: 100 + the ordinal of the pressed caption,
    // or 2.
    virtual int CreateCustomDialogWithMapping(const QString& ACaption, const QString& AText,
                                              const QStringList& AButtonCaptions, const QList<int>& AButtonIndices,
                                              int AMainIcon);
    // The answer of TForm2::Execute.
    virtual int CreateCustomDialog(const QString& ACaption, const QString& AText, const QStringList& AButtons,
                                   int AMainIcon);
    // The folder chooser with ATitle; ASelectedFolder is preselected when it names an existing
    // folder and cleared otherwise. On confirmation it becomes the chosen folder, without a
    // trailing separator (but for a root), and the result is true.
    virtual bool SelectFolder(const QString& ATitle, QString& ASelectedFolder);

private:
    QPointer<QWidget> FOwner;
};
