// One window per user: a later start of the window program hands the files it was given to the
// window that runs, and ends.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TSingleInstance {
public:
    using TFilesHandler = std::function<void(const QStringList& AFiles)>;

    // AKey names the instance: KeyFor(settings file) for the window, a key of their own in tests.
    explicit TSingleInstance(const QString& AKey);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // False when another window of the key runs and took AFiles (maybe none): this start ends.
    // True when this start is the window of the key: each later start's files then reach
    // AOnFiles from the event loop; also when the running window cannot be reached within a few
    // seconds (this start then runs on its own rather than lose its files).
    bool ClaimOrHandOver(const QStringList& AFiles, TFilesHandler AOnFiles);

    // One window per user and settings file, the one that saves it: "kvaderon-", the user's name
    // and a digest of the file's path.
    static QString KeyFor(const QString& ASettingsFile);

private:
    struct TState;
    std::unique_ptr<TState> FState;
};
