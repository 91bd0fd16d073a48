// The real tarnwick binary against kvq-unit-sim on the private test network, under Xvfb.
#include "tests/e2e/sim_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace tarnwick::test {
namespace {

bool IsRequest(const QJsonObject& e, int function) {
    return e["event"] == "request" && e["function"].toInt() == function;
}

QString IdentificationMac(const QJsonObject& request) {
    const QJsonArray items = request["identification"].toArray();
    return items.size() == 1 && items[0].toObject()["field"].toInt() == 13
               ? items[0].toObject()["value"].toString()
               : QString();
}

// One console process with its own runtime directory.
class Console {
public:
    explicit Console(const QString& runtimeDirectory) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtimeDirectory);
        environment.insert("TARNWICK_TRACE", "1");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::SeparateChannels);
    }
    ~Console() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
    bool Start(const QStringList& arguments = {}) {
        process.start(qEnvironmentVariable("TARNWICK_BINARY"), arguments);
        return process.waitForStarted(5000);
    }
    // As `user`, without a display of its own to ask for: what an ordinary desktop user runs.
    bool StartAs(const char* user) {
        QProcessEnvironment environment = process.processEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start("runuser", {"-u", user, "--", qEnvironmentVariable("TARNWICK_BINARY")});
        return process.waitForStarted(5000);
    }
    void Signal(int signal) { ::kill(static_cast<pid_t>(process.processId()), signal); }
    // xdotool on the console's window: what the user's keyboard would do.
    bool Key(const QString& key) {
        return Xdotool({"windowfocus", "--sync", Window(), "key", key});
    }
    // The title bar as the window system shows it.
    QString TitleBar() {
        QProcess name;
        name.start("xdotool", {"getwindowname", Window()});
        name.waitForFinished(5000);
        return QString::fromUtf8(name.readAllStandardOutput()).trimmed();
    }
    QProcess process;

private:
    QString Window() {
        QProcess search;
        search.start("xdotool", {"search", "--sync", "--onlyvisible", "--pid",
                                 QString::number(process.processId())});
        search.waitForFinished(10000);
        return QString(search.readAllStandardOutput()).split('\n').value(0);
    }
    bool Xdotool(const QStringList& arguments) {
        QProcess run;
        run.start("xdotool", arguments);
        return run.waitForFinished(5000) && run.exitCode() == 0;
    }
};

class ConsoleEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(sim.Start({"--count", "3"}, error)) << error.toStdString();
        ASSERT_TRUE(runtime.isValid());
    }
    int Count(const std::function<bool(const QJsonObject&)>& match) {
        int n = 0;
        for (const QJsonObject& e : sim.Events())
            n += match(e) ? 1 : 0;
        return n;
    }
    void Wait(int ms) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
        sim.Events();
    }

    SimProcess sim;
    QTemporaryDir runtime;
};

// The one slow test: it waits for the periodic identification request, about 30.5 s in.
TEST_F(ConsoleEndToEnd, IdentificationCycleRefreshSecondStartAndClose) {
    Console console(runtime.path());
    ASSERT_TRUE(console.Start());
    auto identification = [](const QJsonObject& e) { return IsRequest(e, 16); };
    ASSERT_TRUE(sim.WaitForEvents(identification, 1, 10000)) << "no identification at start";
    const qint64 startMs = sim.EventsNamed("request")[0]["ms"].toInteger();

    // The first unit is selected and keeps identifying itself, about every 500 ms.
    ASSERT_TRUE(sim.WaitForEvents([](const QJsonObject& e) { return IsRequest(e, 17); }, 6, 6000));
    std::vector<qint64> selectTimes;
    for (const QJsonObject& e : sim.Events()) {
        if (IsRequest(e, 17)) {
            selectTimes.push_back(e["ms"].toInteger());
            EXPECT_EQ(IdentificationMac(e), "00:1B:2C:00:00:00");
        }
    }
    for (std::size_t i = 1; i < selectTimes.size(); ++i) {
        EXPECT_GE(selectTimes[i] - selectTimes[i - 1], 300) << i;
        EXPECT_LE(selectTimes[i] - selectTimes[i - 1], 800) << i;
    }
    EXPECT_EQ(sim.EventsNamed("selected").size(), 1u);
    EXPECT_EQ(sim.EventsNamed("selected")[0]["unit"].toInt(), 0);
    // Exactly the caption: nothing appended by the window system.
    EXPECT_EQ(console.TitleBar().toStdString(), "Lumivar Network Tarnwick - Open");

    // A second start raises the first and sends nothing.
    const int requestsBefore = Count([](const QJsonObject& e) { return e["event"] == "request"; });
    const int identificationsBefore = Count(identification);
    Console second(runtime.path());
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.process.waitForFinished(8000));
    EXPECT_EQ(second.process.exitCode(), 0);
    Wait(1200);
    EXPECT_EQ(Count(identification), identificationsBefore) << "the second start broadcast";
    EXPECT_GT(Count([](const QJsonObject& e) { return e["event"] == "request"; }), requestsBefore)
        << "the first kept running";
    EXPECT_TRUE(console.process.readAllStandardError().contains("raised by a second start"));

    // Refresh (F5, the toolbar's Refresh) sends the identification request again.
    ASSERT_TRUE(console.Key("F5"));
    ASSERT_TRUE(sim.WaitForEvents(identification, identificationsBefore + 1, 5000));

    // The period runs on from start, untouched by Refresh: the 61st tick, about 30.5 s in.
    ASSERT_TRUE(sim.WaitForEvents(identification, identificationsBefore + 2, 40000));
    const auto requests = sim.EventsNamed("request");
    qint64 periodicMs = 0;
    for (const QJsonObject& e : requests)
        if (IsRequest(e, 16))
            periodicMs = e["ms"].toInteger();
    EXPECT_NEAR(static_cast<double>(periodicMs - startMs), 30500.0, 1500.0);

    // Closing the window releases the selected unit.
    console.Signal(SIGTERM);
    ASSERT_TRUE(console.process.waitForFinished(5000));
    EXPECT_EQ(console.process.exitCode(), 0);
    ASSERT_TRUE(sim.WaitForEvents([](const QJsonObject& e) { return IsRequest(e, 18); }, 1, 3000));
    const auto last = sim.EventsNamed("request").back();
    EXPECT_EQ(last["function"].toInt(), 18);
    EXPECT_EQ(IdentificationMac(last), "00:1B:2C:00:00:00");
    EXPECT_EQ(sim.EventsNamed("unselected").size(), 1u);
}

TEST_F(ConsoleEndToEnd, TheCommandLineKeepsItsMeaning) {
    struct Case {
        QStringList arguments;
        const char* caption;
    };
    for (const Case& c :
         {Case{{}, "Lumivar Network Tarnwick - Open"},
          Case{{"internal"}, "Lumivar Network Tarnwick - Open"},
          Case{{"Internal", "Internal"}, "Lumivar Network Tarnwick - Open"},
          Case{{"Internal"}, "Lumivar Network Tarnwick - Internal Version - Open"}}) {
        QTemporaryDir own;
        Console console(own.path());
        ASSERT_TRUE(console.Start(c.arguments));
        // A tick puts the socket state into the caption, half a second after start.
        QString title;
        for (int attempt = 0; attempt < 20 && title != c.caption; ++attempt) {
            Wait(250);
            title = console.TitleBar();
        }
        EXPECT_EQ(title.toStdString(), c.caption) << c.arguments.join(' ').toStdString();
        console.Signal(SIGTERM);
        EXPECT_TRUE(console.process.waitForFinished(5000));
    }
    Console version(runtime.path());
    ASSERT_TRUE(version.Start({"--version"}));
    ASSERT_TRUE(version.process.waitForFinished(5000));
    EXPECT_EQ(version.process.readAllStandardOutput().trimmed(), "tarnwick 1.5.0");
}

TEST_F(ConsoleEndToEnd, AnOrdinaryUserFindsTheUnits) {
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    // The single-instance lock lives in the user's own runtime directory.
    QTemporaryDir userRuntime;
    ASSERT_EQ(
        ::chown(QFile::encodeName(userRuntime.path()).constData(), nobody->pw_uid, nobody->pw_gid),
        0);
    Console console(userRuntime.path());
    ASSERT_TRUE(console.StartAs("nobody"));
    // It binds port 10021, hears the units and selects the first one listed.
    ASSERT_TRUE(
        sim.WaitForEvents([](const QJsonObject& e) { return e["event"] == "selected"; }, 1, 10000))
        << console.process.readAllStandardError().toStdString();
    EXPECT_EQ(sim.EventsNamed("request")[0]["fromPort"].toInt(), 10021);
    EXPECT_TRUE(QFile::exists(userRuntime.path() + "/tarnwick.lock"));
    console.Signal(SIGTERM);
    EXPECT_TRUE(console.process.waitForFinished(5000));
}

TEST_F(ConsoleEndToEnd, AKilledConsoleDoesNotBlockTheNextStart) {
    {
        Console crashed(runtime.path());
        ASSERT_TRUE(crashed.Start());
        ASSERT_TRUE(
            sim.WaitForEvents([](const QJsonObject& e) { return IsRequest(e, 16); }, 1, 10000));
        crashed.Signal(SIGKILL);
        ASSERT_TRUE(crashed.process.waitForFinished(5000));
    }
    Console next(runtime.path());
    ASSERT_TRUE(next.Start());
    EXPECT_TRUE(sim.WaitForEvents([](const QJsonObject& e) { return IsRequest(e, 16); }, 2, 10000))
        << "the next start must run, not defer to a dead instance";
    next.Signal(SIGTERM);
    EXPECT_TRUE(next.process.waitForFinished(5000));
}

} // namespace
} // namespace tarnwick::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // DISPLAY: run under xvfb-run.
    return tarnwick::test::RunEndToEndTests(argc, argv, "console end-to-end tests",
                                            {"TARNWICK_BINARY", "DISPLAY"});
}
