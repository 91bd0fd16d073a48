// kvq-unit-sim as a child process in a namespace of the private test network, and the events it
// writes: what the end-to-end tests and the benchmarks drive.
#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <functional>
#include <vector>

namespace kvqsim {

class SimProcess {
public:
    ~SimProcess();

    // Starts the simulator in the namespace `namespaceVariable` names and waits for its
    // "started" event; the reason if not.
    bool Start(const QStringList& arguments, QString& error,
               const char* namespaceVariable = "TW_NS_A");
    // The events written so far named `name`, or all of them.
    std::vector<QJsonObject> Events(const QString& name = {});
    int Count(const std::function<bool(const QJsonObject&)>& match);

private:
    QProcess process_;
    QByteArray pending_;
    std::vector<QJsonObject> events_;
};

// Runs the event loop until `done` holds or `timeoutMs` passes; whether `done` held.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// Why this program cannot use the private test network (not run through it, no simulator);
// empty when it can.
QString MissingTestNetworkReason();

} // namespace kvqsim
