// End to end: the real console, its real socket and kvq-unit-sim on the two-network private test
// network (scripts/private-net.sh --two-networks), under Xvfb. Only what the real processes can
// show; every rule below them is tested at its own layer. What the scenarios share: the
// simulators, the console as a process of the user nobody, and what they read of both.
#pragma once

#include "app/list/unit_table_model.h"
#include "app/window/main_window.h"
#include "cli/unit_listing.h"
#include "console/table/list_columns.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "protocol/extras_rendering.h"
#include "runtime/udp_transport.h"
#include "sim/sim_process.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <grp.h>
#include <map>
#include <pwd.h>
#include <unistd.h>
namespace tarnwick::test {

using kvqsim::SimProcess;
using kvqsim::WaitUntil;

// What CTest counts as skipped (SKIP_RETURN_CODE): the machine cannot run these tests.
constexpr int SkippedExitCode = 77;
constexpr int Timeout = 5000;
constexpr quint16 Port = ConstantsCommKVQWithKVQConsoleSetupPort;
constexpr char FirstUnitMAC[] = "00:1B:2C:00:00:00";
constexpr char Caption[] = "Lumivar Network Tarnwick - Open";

inline std::function<bool(const QJsonObject&)> Request(int function = 0) {
    return [function](const QJsonObject& e) {
        return e["event"] == "request" && (function == 0 || e["function"].toInt() == function);
    };
}

inline QString NamedUnit(const QJsonObject& request) {
    const QJsonArray items = request["identification"].toArray();
    return items.size() == 1 && items[0]["field"].toInt() == FieldNumberMACAddress
               ? items[0]["value"].toString()
               : QString();
}

inline bool Link(const char* name, const char* state) {
    return QProcess::execute("ip", {"link", "set", name, state}) == 0;
}

// A picture of the whole X screen, when asked for one.
inline void Screenshot(const char* name) {
    const QString directory = qEnvironmentVariable("TARNWICK_SCREENSHOT_DIR");
    if (!directory.isEmpty() && QDir().mkpath(directory))
        QProcess::execute("import", {"-window", "root", directory + "/" + name + ".png"});
}

// The row of the unit a simulator's reply event names shows each field as the unit sent it.
inline void ExpectRowShows(const UnitTable& table, const QJsonObject& reply) {
    const QJsonObject fields = reply["fields"].toObject();
    auto field = [&](int f) { return fields[QString::number(f)].toString().toStdString(); };
    const int row = table.FindRowByMAC(field(FieldNumberMACAddress));
    ASSERT_NE(row, 0) << "unit " << reply["unit"].toInt() << " is not listed";
    for (int f = 1; f <= FieldNumberUnitID; ++f) {
        if (f == FieldNumberUseDHCP)
            EXPECT_EQ(table.Row(row).checked, field(f) == "TRUE") << "row " << row;
        else
            EXPECT_EQ(table.CellAt(row, ColumnOfField(f)).text, field(f))
                << "row " << row << " field " << f;
    }
    EXPECT_EQ(table.CellAt(row, ColumnDeviceInformation).text,
              RenderExtraField(FieldNumberFreeDisk, field(FieldNumberFreeDisk)) + "," +
                  RenderExtraField(FieldNumberBackupStatus, field(FieldNumberBackupStatus)) + ",");
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column)
        EXPECT_EQ(table.CellAt(row, column).colour, ColourBlack) << "row " << row;
}

// `process` runs as the user nobody, who owns `runtime`. Its own process, not a runuser's child:
// a signal reaches the program itself.
inline void AsNobody(QProcess& process, const QString& runtime) {
    const passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody ? nobody->pw_uid : 0;
    const gid_t gid = nobody ? nobody->pw_gid : 0;
    EXPECT_EQ(::chown(QFile::encodeName(runtime).constData(), uid, gid), 0);
    process.setChildProcessModifier([uid, gid] {
        if (uid == 0 || ::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(126);
    });
}

// One tarnwick process of the user nobody, with `runtime` as its own runtime directory.
class Console {
public:
    explicit Console(const QString& runtime, const QStringList& arguments = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_RUNTIME_DIR", "HOME"})
            environment.insert(name, runtime);
        environment.insert("TARNWICK_TRACE", "1");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        process.setProcessEnvironment(environment);
        AsNobody(process, runtime);
        process.start(qEnvironmentVariable("TARNWICK_BINARY"), arguments);
    }
    ~Console() {
        process.kill();
        process.waitForFinished(3000);
    }
    // Signals it and waits for it to end; whether it ended with status 0.
    bool End(int signal) {
        ::kill(static_cast<pid_t>(process.processId()), signal);
        return process.waitForFinished(Timeout) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }
    QString Window() {
        return Xdotool({"search", "--sync", "--onlyvisible", "--pid",
                        QString::number(process.processId())})
            .section('\n', 0, 0);
    }
    // The title bar as the window system shows it.
    QString TitleBar() { return Xdotool({"getwindowname", Window()}); }
    // Keys as the X server delivers them to the focused window.
    void Keys(const QStringList& keys) { Xdotool(QStringList{"key", "--delay", "50"} + keys); }
    void Type(const QString& text) { Xdotool({"type", "--delay", "50", text}); }
    void Focus() { Xdotool({"windowfocus", "--sync", Window()}); }
    bool TitleBarBecomes(const QString& caption) {
        return WaitUntil([&] { return TitleBar() == caption; }, Timeout);
    }
    QProcess process;

private:
    static QString Xdotool(const QStringList& arguments) {
        QProcess xdotool;
        xdotool.start("xdotool", arguments);
        xdotool.waitForFinished(Timeout);
        return QString::fromUtf8(xdotool.readAllStandardOutput()).trimmed();
    }
};

class EndToEnd : public ::testing::Test {
protected:
    // kvq-unit-sim on the first unit network and, when given arguments, on the second.
    void StartSims(const QStringList& onFirst, const QStringList& onSecond = {}) {
        QString error;
        ASSERT_TRUE(first.Start(onFirst, error)) << error.toStdString();
        if (!onSecond.isEmpty()) {
            ASSERT_TRUE(second.Start(onSecond, error, "TW_NS_A2")) << error.toStdString();
        }
    }
    void ExpectEveryRequestFromPort10021() {
        for (SimProcess* sim : {&first, &second})
            for (const QJsonObject& request : sim->Events("request"))
                EXPECT_EQ(request["fromPort"].toInt(), Port);
    }

    SimProcess first;
    SimProcess second;
    const QTemporaryDir home;
    const QString runtime = home.path();
};

} // namespace tarnwick::test
