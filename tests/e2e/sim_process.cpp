#include "tests/e2e/sim_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <cstdio>

namespace tarnwick::test {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

QString MissingTestNetworkReason(std::initializer_list<const char*> alsoNeeded) {
    if (qEnvironmentVariableIsEmpty("TW_NS_A"))
        return "TW_NS_A is not set: run this test through scripts/private-net.sh (as root)";
    if (qEnvironmentVariableIsEmpty("KVQ_UNIT_SIM"))
        return "KVQ_UNIT_SIM does not name the kvq-unit-sim binary";
    for (const char* name : alsoNeeded)
        if (qEnvironmentVariableIsEmpty(name))
            return QString(name) + " is not set";
    return {};
}

int RunEndToEndTests(int argc, char** argv, const char* what,
                     std::initializer_list<const char*> alsoNeeded) {
    ::testing::InitGoogleTest(&argc, argv);
    const QString missing = MissingTestNetworkReason(alsoNeeded);
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "%s cannot run: %s\n", what, qPrintable(missing));
        return 1;
    }
    return RUN_ALL_TESTS();
}

SimProcess::~SimProcess() {
    Stop();
}

bool SimProcess::Start(const QStringList& arguments, QString& error,
                       const char* namespaceVariable) {
    error = MissingTestNetworkReason({namespaceVariable});
    if (!error.isEmpty())
        return false;
    QStringList command = {"netns", "exec", qEnvironmentVariable(namespaceVariable),
                           qEnvironmentVariable("KVQ_UNIT_SIM")};
    command += arguments;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start("ip", command);
    if (!process_.waitForStarted(5000)) {
        error = "cannot start the simulator: " + process_.errorString();
        return false;
    }
    if (!WaitForEvents([](const QJsonObject& e) { return e["event"] == "started"; }, 1, 5000)) {
        error = "the simulator did not start (no \"started\" event)";
        return false;
    }
    return true;
}

void SimProcess::Stop() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

const std::vector<QJsonObject>& SimProcess::Events() {
    pending_ += process_.readAllStandardOutput();
    qsizetype newline;
    while ((newline = pending_.indexOf('\n')) >= 0) {
        const QByteArray line = pending_.left(newline);
        pending_.remove(0, newline + 1);
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (document.isObject())
            events_.push_back(document.object());
    }
    return events_;
}

std::vector<QJsonObject> SimProcess::EventsNamed(const QString& name) {
    std::vector<QJsonObject> named;
    for (const QJsonObject& event : Events())
        if (event["event"] == name)
            named.push_back(event);
    return named;
}

bool SimProcess::WaitForEvents(const std::function<bool(const QJsonObject&)>& match, int count,
                               int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        int seen = 0;
        for (const QJsonObject& event : Events())
            seen += match(event) ? 1 : 0;
        if (seen >= count)
            return true;
        if (waited.elapsed() > timeoutMs)
            return false;
        process_.waitForReadyRead(20);
        QCoreApplication::processEvents();
    }
}

} // namespace tarnwick::test
