#include "sim/sim_process.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTimer>

namespace kvqsim {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        // Sleeps until something happens, at most 10 ms: no spinning on a shared machine.
        QEventLoop turn;
        QTimer::singleShot(10, &turn, &QEventLoop::quit);
        turn.exec();
    }
    return true;
}

QString MissingTestNetworkReason() {
    if (qEnvironmentVariableIsEmpty("TW_NS_A"))
        return "TW_NS_A is not set: run this through scripts/private-net.sh (as root)";
    if (qEnvironmentVariableIsEmpty("KVQ_UNIT_SIM"))
        return "KVQ_UNIT_SIM does not name the kvq-unit-sim binary";
    return {};
}

SimProcess::~SimProcess() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(2000))
        process_.kill();
    process_.waitForFinished(2000);
}

bool SimProcess::Start(const QStringList& arguments, QString& error,
                       const char* namespaceVariable) {
    error = MissingTestNetworkReason();
    if (error.isEmpty() && qEnvironmentVariableIsEmpty(namespaceVariable))
        error = QString(namespaceVariable) + " is not set";
    if (!error.isEmpty())
        return false;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start("ip", QStringList{"netns", "exec", qEnvironmentVariable(namespaceVariable),
                                     qEnvironmentVariable("KVQ_UNIT_SIM")} +
                             arguments);
    if (!WaitUntil([this] { return !Events("started").empty(); }, 5000)) {
        error = "the simulator did not start: " + process_.errorString();
        return false;
    }
    return true;
}

std::vector<QJsonObject> SimProcess::Events(const QString& name) {
    pending_ += process_.readAllStandardOutput();
    for (qsizetype newline; (newline = pending_.indexOf('\n')) >= 0;) {
        const QJsonDocument line = QJsonDocument::fromJson(pending_.left(newline));
        pending_.remove(0, newline + 1);
        if (line.isObject())
            events_.push_back(line.object());
    }
    std::vector<QJsonObject> named;
    for (const QJsonObject& event : events_)
        if (name.isEmpty() || event["event"] == name)
            named.push_back(event);
    return named;
}

int SimProcess::Count(const std::function<bool(const QJsonObject&)>& match) {
    int count = 0;
    for (const QJsonObject& event : Events())
        count += match(event) ? 1 : 0;
    return count;
}

} // namespace kvqsim
