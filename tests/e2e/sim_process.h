// kvq-unit-sim started in the other namespace of the private test network, with its events.
#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <vector>

namespace tarnwick::test {

class SimProcess {
public:
    ~SimProcess();

    // Starts the simulator in the namespace `namespaceVariable` names and waits for its
    // "started" event; the reason if not.
    bool Start(const QStringList& arguments, QString& error,
               const char* namespaceVariable = "TW_NS_A");
    void Stop();

    // Reads what the simulator has written so far.
    const std::vector<QJsonObject>& Events();
    std::vector<QJsonObject> EventsNamed(const QString& name);
    // Waits (running the event loop) until `count` events satisfy `match`.
    bool WaitForEvents(const std::function<bool(const QJsonObject&)>& match, int count,
                       int timeoutMs);

private:
    QProcess process_;
    QByteArray pending_;
    std::vector<QJsonObject> events_;
};

// Runs the event loop until `done` holds or `timeoutMs` passes; whether `done` held.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// Why the environment cannot run end-to-end tests (no test network, no simulator, or one of
// `alsoNeeded` unset); empty when it can.
QString MissingTestNetworkReason(std::initializer_list<const char*> alsoNeeded = {});

// The shared start of an end-to-end test program: runs the tests, or says why it cannot.
int RunEndToEndTests(int argc, char** argv, const char* what,
                     std::initializer_list<const char*> alsoNeeded = {});

} // namespace tarnwick::test
