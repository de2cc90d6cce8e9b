// The window of the key holds a lock file and listens on a local socket beside it; a later start
// sends its files through the socket and waits for the window's answer.
#include "SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {

constexpr int ConnectAttempts = 50;
constexpr int AttemptPauseMs = 100;
constexpr int AnswerTimeoutMs = 5000;
constexpr char Taken = '1';

bool SendFiles(const QString& AServerName, const QStringList& AFiles) {
    QLocalSocket socket;
    socket.connectToServer(AServerName);
    if (!socket.waitForConnected(AnswerTimeoutMs))
        return false;
    QDataStream stream(&socket);
    stream << AFiles;
    socket.flush();
    while (socket.bytesAvailable() == 0)
        if (!socket.waitForReadyRead(AnswerTimeoutMs))
            return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == Taken;
}

} // namespace

struct TSingleInstance::TState {
    QString ServerName;
    QLockFile Lock;
    QLocalServer Server;
    TFilesHandler OnFiles;

    explicit TState(const QString& AName) : ServerName(AName), Lock(AName + QStringLiteral(".lock")) {}

    // A connection's files arrive whole (they may come in parts); the answer tells the sender
    // that they were taken, and the handler runs after, from the event loop.
    void Accept(QLocalSocket* ASocket) {
        QObject::connect(ASocket, &QLocalSocket::disconnected, ASocket, &QObject::deleteLater);
        auto* stream = new QDataStream(ASocket);
        QObject::connect(ASocket, &QObject::destroyed, [stream] { delete stream; });
        QObject::connect(ASocket, &QLocalSocket::readyRead, ASocket, [this, ASocket, stream] {
            stream->startTransaction();
            QStringList files;
            *stream >> files;
            if (!stream->commitTransaction())
                return;
            ASocket->putChar(Taken);
            ASocket->flush();
            QTimer::singleShot(0, &Server, [this, files] { OnFiles(files); });
        });
    }
};

TSingleInstance::TSingleInstance(const QString& AKey) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    FState = std::make_unique<TState>(folder + QLatin1Char('/') + AKey);
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::ClaimOrHandOver(const QStringList& AFiles, TFilesHandler AOnFiles) {
    for (int attempt = 0; attempt < ConnectAttempts; ++attempt) {
        if (FState->Lock.tryLock(0)) {
            // A socket left by a window that ended without closing it is in the way.
            QLocalServer::removeServer(FState->ServerName);
            FState->OnFiles = std::move(AOnFiles);
            QObject::connect(&FState->Server, &QLocalServer::newConnection, &FState->Server, [this] {
                while (QLocalSocket* socket = FState->Server.nextPendingConnection())
                    FState->Accept(socket);
            });
            FState->Server.setSocketOptions(QLocalServer::UserAccessOption);
            // Should the socket not open, this window runs on and later starts run on their own.
            FState->Server.listen(FState->ServerName);
            return true;
        }
        if (SendFiles(FState->ServerName, AFiles))
            return false;
        // The window that holds the lock may not be listening yet.
        QThread::msleep(AttemptPauseMs);
    }
    return true;
}
