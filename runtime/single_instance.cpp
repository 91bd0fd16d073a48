#include "runtime/single_instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <csignal>

namespace tarnwick {
namespace {

constexpr char RaiseCommand[] = "raise\n";
constexpr int AskForMs = 3000;

QString LockDirectory(const QString& directory) {
    return directory.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                               : directory;
}

} // namespace

bool ConsoleWindowRunning(const QString& directory) {
    // Read, never taken: a window starting this very moment must find the lock free.
    const QLockFile lock(LockDirectory(directory) + "/tarnwick.lock");
    qint64 pid = 0;
    QString host;
    QString application;
    return lock.getLockInfo(&pid, &host, &application) && pid > 0 &&
           (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

SingleInstance::SingleInstance(const QString& directory) : directory_(LockDirectory(directory)) {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_.nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().contains("raise"))
                    emit RaiseRequested();
                peer->disconnectFromServer();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
}

bool SingleInstance::Claim() {
    QDir().mkpath(directory_);
    const QString socketPath = directory_ + "/tarnwick.socket";
    lock_ = std::make_unique<QLockFile>(directory_ + "/tarnwick.lock");
    // A lock left by a process that is gone (killed, crashed) is taken over at once.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        // Only the lock holder may remove a socket, so a live one is never taken away.
        QLocalServer::removeServer(socketPath);
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        server_.listen(socketPath);
        return true;
    }
    // The running instance may still be starting: keep asking for a moment.
    QElapsedTimer asking;
    asking.start();
    while (asking.elapsed() < AskForMs) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(300)) {
            socket.write(RaiseCommand);
            socket.waitForBytesWritten(1000);
            socket.waitForDisconnected(1000);
            break;
        }
        QThread::msleep(100);
    }
    return false;
}

} // namespace tarnwick
