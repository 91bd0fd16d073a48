// One console per user: the first start holds a lock and listens; a later start asks it to come
// to the front and ends without touching the network.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace tarnwick {

// Whether this user's console window runs (holds the lock in `directory`, by default the
// user's runtime directory); the lock is not kept.
bool ConsoleWindowRunning(const QString& directory = {});

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `directory`: where the lock and the socket live (default: the user's runtime directory).
    explicit SingleInstance(const QString& directory = {});

    // True when this is the only instance (it now listens); false when another one runs
    // (it has been asked to raise its window, if it answered).
    bool Claim();

signals:
    void RaiseRequested();

private:
    QString directory_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

} // namespace tarnwick
