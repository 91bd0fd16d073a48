// End to end: the real console, its real socket and kvq-unit-sim on the two-network private test
// network (scripts/private-net.sh --two-networks), under Xvfb. Only what the real processes can
// show; every rule below them is tested at its own layer.
#include "app/main_window.h"
#include "app/unit_table_model.h"
#include "console/list_columns.h"
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
#include <QRegularExpression>
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
namespace {

using kvqsim::MissingTestNetworkReason;
using kvqsim::SimProcess;
using kvqsim::WaitUntil;

// What CTest counts as skipped (SKIP_RETURN_CODE): the machine cannot run these tests.
constexpr int SkippedExitCode = 77;
constexpr int Timeout = 5000;
constexpr quint16 Port = ConstantsCommKVQWithKVQConsoleSetupPort;
constexpr char FirstUnitMAC[] = "00:1B:2C:00:00:00";
constexpr char Caption[] = "Lumivar Network Tarnwick - Open";

std::function<bool(const QJsonObject&)> Request(int function = 0) {
    return [function](const QJsonObject& e) {
        return e["event"] == "request" && (function == 0 || e["function"].toInt() == function);
    };
}

QString NamedUnit(const QJsonObject& request) {
    const QJsonArray items = request["identification"].toArray();
    return items.size() == 1 && items[0]["field"].toInt() == FieldNumberMACAddress
               ? items[0]["value"].toString()
               : QString();
}

bool Link(const char* name, const char* state) {
    return QProcess::execute("ip", {"link", "set", name, state}) == 0;
}

// A picture of the whole X screen, when asked for one.
void Screenshot(const char* name) {
    const QString directory = qEnvironmentVariable("TARNWICK_SCREENSHOT_DIR");
    if (!directory.isEmpty() && QDir().mkpath(directory))
        QProcess::execute("import", {"-window", "root", directory + "/" + name + ".png"});
}

// The row of the unit a simulator's reply event names shows each field as the unit sent it.
void ExpectRowShows(const UnitTable& table, const QJsonObject& reply) {
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
    EXPECT_EQ(table.CellAt(row, ListViewFieldNumberDeviceInformationColumn).text,
              RenderExtraField(FieldNumberFreeDisk, field(FieldNumberFreeDisk)) + "," +
                  RenderExtraField(FieldNumberBackupStatus, field(FieldNumberBackupStatus)) + ",");
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column)
        EXPECT_EQ(table.CellAt(row, column).colour, ColourBlack) << "row " << row;
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
        // Its own process, not a runuser's child: a signal reaches the console itself.
        const passwd* nobody = ::getpwnam("nobody");
        const uid_t uid = nobody ? nobody->pw_uid : 0;
        const gid_t gid = nobody ? nobody->pw_gid : 0;
        EXPECT_EQ(::chown(QFile::encodeName(runtime).constData(), uid, gid), 0);
        process.setChildProcessModifier([uid, gid] {
            if (uid == 0 || ::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 ||
                ::setuid(uid) != 0)
                ::_exit(126);
        });
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

TEST_F(EndToEnd, UnitsOnBothNetworksAreListedAndAnEditReachesOnlyItsUnit) {
    // Units 0-2 on the first network, 2-4 on the second: unit 2 is reachable through both links.
    StartSims({"--count", "3"}, {"--count", "3", "--first-index", "2"});
    frmLumivarNetTarnwick window(false); // its real socket
    window.show();
    const ConsoleSession& session = window.State();
    ASSERT_TRUE(WaitUntil(
        [&] {
            return first.Events("reply").size() == 3 && second.Events("reply").size() == 3 &&
                   session.UnitCount() >= 5;
        },
        Timeout))
        << session.UnitCount() << " of 5 units listed";
    QTest::qWait(300); // a second row for unit 2 would have come by now
    EXPECT_EQ(session.UnitCount(), 5);
    for (SimProcess* sim : {&first, &second})
        for (const QJsonObject& reply : sim->Events("reply"))
            ExpectRowShows(session.Units(), reply);

    // Three fields of a unit only the second network reaches.
    const char* const mac = "00:1B:2C:00:00:04";
    const int row = session.Units().FindRowByMAC(mac);
    ASSERT_NE(row, 0);
    const std::vector<std::pair<int, std::string>> edits = {
        {FieldNumberSavedIPAddress, "10.77.9.20"},
        {FieldNumberSubnetMask, "255.255.255.0"},
        {FieldNumberHostName, "cable-side"}};
    for (const auto& [field, text] : edits) {
        ASSERT_TRUE(window.Session()->StartEdit(row, true, ColumnOfField(field)));
        ASSERT_EQ(window.Session()->SetText(text), CommitResult::Accepted);
        EXPECT_EQ(session.Units().CellAt(row, ColumnOfField(field)).colour, ColourRed);
    }
    window.Session()->Apply();
    auto black = [&] {
        return std::all_of(edits.begin(), edits.end(), [&](const auto& edit) {
            return session.Units().CellAt(row, ColumnOfField(edit.first)).colour == ColourBlack;
        });
    };
    ASSERT_TRUE(WaitUntil(black, Timeout)) << "no change reply from the second network";
    for (const auto& [field, text] : edits)
        EXPECT_EQ(session.Units().CellAt(row, ColumnOfField(field)),
                  (Cell{text, ColourBlack, false}));

    ASSERT_TRUE(WaitUntil([&] { return !second.Events("changed").empty(); }, Timeout));
    EXPECT_EQ(second.Events("changed").size(), 1u);
    EXPECT_EQ(second.Events("changed")[0]["mac"].toString(), mac);
    EXPECT_TRUE(first.Events("changed").empty());
    // One change request, broadcast through both links, carrying exactly the edits.
    for (SimProcess* sim : {&first, &second}) {
        std::vector<std::pair<int, std::string>> sent;
        for (const QJsonObject& request : sim->Events("request")) {
            if (request["function"].toInt() != FunctionCodeChangeSettings)
                continue;
            EXPECT_EQ(NamedUnit(request), mac);
            for (const QJsonValue item : request["changes"].toArray())
                sent.emplace_back(item["field"].toInt(), item["value"].toString().toStdString());
        }
        EXPECT_EQ(sent, edits);
    }
    ExpectEveryRequestFromPort10021();
}

// Unit 1 takes its change but never answers: the list and the status panel say so, and the
// resend goes to it alone.
TEST_F(EndToEnd, EachUnitsResultIsShownAndOnlyTheUnansweredOneIsSentAgain) {
    StartSims({"--count", "3", "--silent-unit", "1"});
    frmLumivarNetTarnwick window(false); // its real socket
    window.resize(900, 400);
    window.show();
    window.activateWindow();
    const ConsoleSession& session = window.State();
    ASSERT_TRUE(WaitUntil([&] { return session.UnitCount() == 3; }, Timeout));
    for (int row = 1; row <= 3; ++row) {
        ASSERT_TRUE(window.Session()->StartEdit(row, true, ColumnOfField(FieldNumberHostName)));
        ASSERT_EQ(window.Session()->SetText("site-" + std::to_string(row)), CommitResult::Accepted);
    }
    window.Session()->Apply();
    auto* list = window.findChild<QTreeView*>("ListViewUnitsOnline");
    auto results = [&] {
        QStringList words;
        for (int row = 0; row < 3; ++row)
            words << list->model()->index(row, 0).data(UnitTableModel::ResultRole).toString();
        return words.join(", ");
    };
    // The wait for an answer is ten ticks, five seconds.
    ASSERT_TRUE(WaitUntil([&] { return !results().contains("sent"); }, 3 * Timeout))
        << results().toStdString();
    EXPECT_EQ(results().toStdString(), "confirmed, no answer, confirmed");
    // A screen reader hears what the mark shows, as the first cell's description.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
    ASSERT_TRUE(table && table->tableInterface());
    EXPECT_TRUE(table->tableInterface()
                    ->cellAt(1, 0)
                    ->text(QAccessible::Description)
                    .contains(" \u2014 no answer"));
    QTest::qWait(600); // the panel follows on the next tick
    EXPECT_EQ(window.findChild<QLabel*>("StatusPanelResults")->text().toStdString(),
              "Apply: 3 sent \u00b7 2 confirmed \u00b7 1 no answer");
    Screenshot("results");

    const auto isChange = Request(FunctionCodeChangeSettings);
    const int before = first.Count(isChange);
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(WaitUntil([&] { return first.Count(isChange) > before; }, Timeout));
    QTest::qWait(500);
    std::vector<QString> named;
    for (const QJsonObject& request : first.Events("request"))
        if (isChange(request))
            named.push_back(NamedUnit(request));
    ASSERT_EQ(static_cast<int>(named.size()), before + 1) << "exactly one change request";
    EXPECT_EQ(named.back().toStdString(), "00:1B:2C:00:00:01");
}

// The installed binary, driven by X key events only: select, edit and Apply without a mouse.
TEST_F(EndToEnd, TheKeyboardAloneEditsAndAppliesAUnit) {
    StartSims({"--count", "3"});
    Console console(runtime);
    const auto isSelect = Request(FunctionCodeSelectUnit);
    const auto selectsOf = [&](const char* mac) {
        int count = 0;
        for (const QJsonObject& request : first.Events("request"))
            count += isSelect(request) && NamedUnit(request) == mac;
        return count;
    };
    ASSERT_TRUE(WaitUntil([&] { return selectsOf(FirstUnitMAC) > 0; }, 10000))
        << console.process.readAllStandardError().toStdString();
    console.Focus();
    const char* const nextUnit = "00:1B:2C:00:00:01";
    console.Keys({"Down"});
    ASSERT_TRUE(WaitUntil([&] { return selectsOf(nextUnit) > 0; }, Timeout)) << "Down selects";
    const int savedIP = ColumnOfField(FieldNumberSavedIPAddress);
    console.Keys(QStringList(savedIP - 1, "Right") << "F2");
    console.Type("10.1.0.77");
    Screenshot("keyboard-edit");
    console.Keys({"Return", "Tab", "space"});
    ASSERT_TRUE(WaitUntil([&] { return !first.Events("changed").empty(); }, Timeout));
    QTest::qWait(300);
    const auto changed = first.Events("changed");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0]["mac"].toString(), nextUnit);
    EXPECT_EQ(changed[0]["fields"].toObject(),
              (QJsonObject{{QString::number(FieldNumberSavedIPAddress), "10.1.0.77"}}));
}

// A plan's round trip through the installed binary: export, edit the file as a spreadsheet
// would, import, Apply; the next export says which units confirmed.
TEST_F(EndToEnd, AnExportedListEditedAndImportedChangesExactlyItsUnits) {
    StartSims({"--count", "3"});
    Console console(runtime);
    ASSERT_TRUE(WaitUntil([&] { return first.Count(Request(FunctionCodeSelectUnit)) > 0; }, 10000))
        << console.process.readAllStandardError().toStdString();
    console.Focus();
    // Without a window manager nobody gives the focus back when a dialog closes.
    const auto exportTo = [&](const QString& path) {
        console.Focus();
        console.Keys({"ctrl+e"});
        QTest::qWait(500);
        console.Type(path);
        console.Keys({"Return"});
        return WaitUntil([&] { return QFile::exists(path); }, Timeout);
    };
    const QString listed = runtime + "/listed.csv";
    ASSERT_TRUE(exportTo(listed));
    QFile file(listed);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n");
    file.close();
    ASSERT_EQ(lines.size(), 5) << "a header, three units, the last line's end";
    // The spreadsheet: new saved IPs for the first and the third unit.
    const std::map<QString, QString> plan = {{"00:1B:2C:00:00:00", "10.77.1.50"},
                                             {"00:1B:2C:00:00:02", "10.77.1.52"}};
    for (QString& line : lines)
        for (const auto& [mac, address] : plan)
            if (line.contains(mac))
                line.replace(QRegularExpression("(10\\.77\\.0\\.\\d+),\\1,"),
                             "\\1," + address + ",");
    const QString planned = runtime + "/planned.csv";
    QFile out(planned);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(lines.join("\r\n").toUtf8());
    out.close();

    console.Focus();
    console.Keys({"ctrl+i"});
    QTest::qWait(500);
    console.Type(planned);
    console.Keys({"Return"});
    QTest::qWait(500);
    Screenshot("plan-imported");
    console.Focus();
    console.Keys({"Tab", "space"}); // from the list to Apply
    ASSERT_TRUE(WaitUntil([&] { return first.Events("changed").size() == 2; }, 2 * Timeout));
    QTest::qWait(300);
    std::map<QString, QString> changed;
    for (const QJsonObject& event : first.Events("changed")) {
        const QJsonObject fields = event["fields"].toObject();
        EXPECT_EQ(fields.size(), 1);
        changed[event["mac"].toString()] =
            fields[QString::number(FieldNumberSavedIPAddress)].toString();
    }
    EXPECT_EQ(changed, plan);

    const QString after = runtime + "/after.csv";
    QTest::qWait(500);
    Screenshot("plan-applied");
    ASSERT_TRUE(exportTo(after));
    QFile result(after);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(result.readAll()).split("\r\n").mid(1, 3)) {
        const bool inPlan =
            line.contains("00:1B:2C:00:00:00") || line.contains("00:1B:2C:00:00:02");
        EXPECT_EQ(line.section(',', -2, -2), inPlan ? "confirmed" : "") << line.toStdString();
    }
}

// A burst of replies that overflows the receive buffer: the units are asked again a moment
// after it, and only then.
TEST_F(EndToEnd, RepliesLostToAFullReceiveBufferAreAskedForAgain) {
    StartSims({"--count", "1000", "--burst", "--no-reply-log"});
    const auto isIdentification = Request(FunctionCodeIdentification);
    auto panel = [](frmLumivarNetTarnwick& window) {
        return window.findChild<QLabel*>("StatusPanelResults")->text().toStdString();
    };
    {
        frmLumivarNetTarnwick roomy(false); // room for the whole burst
        ASSERT_TRUE(WaitUntil([&] { return roomy.Session()->UnitCount() == 1000; }, Timeout));
        QTest::qWait(2500); // well past a second of quiet
        EXPECT_EQ(first.Count(isIdentification), 1) << "asked again with nothing lost";
        EXPECT_EQ(panel(roomy), "1000 units");
    }
    auto transport = std::make_unique<UdpTransport>();
    transport->CapReceiveBuffer(1); // the kernel's least: room for a handful
    frmLumivarNetTarnwick cramped(false, std::move(transport));
    ASSERT_TRUE(WaitUntil([&] { return first.Count(isIdentification) == 3; }, Timeout))
        << "not asked again; " << cramped.Session()->UnitCount() << " units listed";
    std::vector<qint64> asked;
    for (const QJsonObject& request : first.Events("request"))
        if (isIdentification(request))
            asked.push_back(request["ms"].toInteger());
    EXPECT_GE(asked[2] - asked[1], 900) << "asked again before the burst was over";
    QTest::qWait(600); // the panel follows on the next tick
    const std::string said = panel(cramped);
    EXPECT_NE(said.find(" replies were lost to a full receive buffer; asked again"),
              std::string::npos)
        << said;
}

TEST_F(EndToEnd, LinksComeAndGoAndThePortIsTaken) {
    StartSims({"--count", "1"}, {"--count", "1", "--first-index", "1"});
    UdpTransport transport; // nothing connected: what arrives is dropped
    const std::string request = IdentificationRequest();
    {
        // Port in use: said on every send until the port is free.
        QUdpSocket blocker;
        ASSERT_TRUE(blocker.bind(QHostAddress::AnyIPv4, Port, QUdpSocket::DontShareAddress));
        const std::string step = "Binding UDP port 10021 failed: ";
        for (int attempt = 1; attempt <= 3; ++attempt) {
            const auto failed = transport.Send(request);
            ASSERT_TRUE(failed.has_value()) << "attempt " << attempt;
            EXPECT_EQ(failed->what.substr(0, step.size()), step);
            EXPECT_GT(failed->what.size(), step.size()) << "the reason is left out";
            EXPECT_EQ(transport.State(), SocketState::Error);
        }
    }
    // Back to back, each request goes out once through each link.
    std::vector<std::string> errors;
    auto send = [&] {
        if (auto failed = transport.Send(request))
            errors.push_back(failed->what);
    };
    send();
    send();
    EXPECT_EQ(transport.State(), SocketState::Open);
    ASSERT_TRUE(WaitUntil(
        [&] { return first.Count(Request()) == 2 && second.Count(Request()) == 2; }, Timeout));

    // A link that goes down is left alone without a word; the other goes on.
    ASSERT_TRUE(Link("veth1", "down"));
    for (int tick = 0; tick < 4; ++tick) {
        send();
        QTest::qWait(300); // past a tick, when the interfaces are looked at again
    }
    EXPECT_EQ(first.Count(Request()), 6);
    EXPECT_EQ(second.Count(Request()), 2) << "requests went through a link that is down";
    // Back up: it carries the requests again.
    ASSERT_TRUE(Link("veth1", "up"));
    EXPECT_TRUE(WaitUntil(
        [&] {
            send();
            return second.Count(Request()) > 2;
        },
        Timeout));
    EXPECT_EQ(errors, std::vector<std::string>{}) << "a box the user would have seen";

    // No interface up: said so, and the next send tries again.
    ASSERT_TRUE(Link("veth0", "down") && Link("veth1", "down"));
    QTest::qWait(600);
    const auto failed = transport.Send(request);
    ASSERT_TRUE(failed.has_value());
    EXPECT_NE(failed->what.find("No network interface is up"), std::string::npos) << failed->what;
    EXPECT_EQ(transport.State(), SocketState::Error);
    ASSERT_TRUE(Link("veth0", "up") && Link("veth1", "up"));
    const int before = first.Count(Request());
    EXPECT_TRUE(WaitUntil([&] { return !transport.Send(request).has_value(); }, Timeout));
    EXPECT_EQ(transport.State(), SocketState::Open);
    // A link carries again a moment after the other: each send looks afresh, once a tick.
    EXPECT_TRUE(WaitUntil(
        [&] {
            transport.Send(request);
            return first.Count(Request()) > before;
        },
        Timeout));
    ExpectEveryRequestFromPort10021();
}

TEST_F(EndToEnd, AnOrdinaryUsersConsoleStartsOnceSurvivesAKillAndReleasesItsUnit) {
    StartSims({"--count", "3"});
    const auto isIdentification = Request(FunctionCodeIdentification);
    const auto isSelect = Request(FunctionCodeSelectUnit);
    {
        Console console(runtime);
        // It binds port 10021, lists the units and keeps the first one identifying itself.
        ASSERT_TRUE(WaitUntil([&] { return first.Count(isSelect) >= 4; }, 10000))
            << console.process.readAllStandardError().toStdString();
        std::vector<qint64> times;
        for (const QJsonObject& request : first.Events("request")) {
            if (!isSelect(request))
                continue;
            EXPECT_EQ(NamedUnit(request), FirstUnitMAC);
            times.push_back(request["ms"].toInteger());
        }
        for (std::size_t i = 1; i < times.size(); ++i)
            EXPECT_NEAR(static_cast<double>(times[i] - times[i - 1]), 500.0, 250.0) << i;
        ASSERT_EQ(first.Events("selected").size(), 1u);
        EXPECT_EQ(first.Events("selected")[0]["unit"].toInt(), 0);
        EXPECT_TRUE(QFile::exists(runtime + "/tarnwick.lock"));
        EXPECT_TRUE(console.TitleBarBecomes(Caption)) << console.TitleBar().toStdString();
        Screenshot("console");

        // A second start raises the first and broadcasts nothing.
        const int identifications = first.Count(isIdentification);
        const int selects = first.Count(isSelect);
        Console again(runtime);
        ASSERT_TRUE(again.process.waitForFinished(10000));
        EXPECT_EQ(again.process.exitCode(), 0);
        ASSERT_TRUE(WaitUntil([&] { return first.Count(isSelect) >= selects + 2; }, Timeout))
            << "the first console stopped";
        EXPECT_EQ(first.Count(isIdentification), identifications) << "the second start broadcast";
        EXPECT_TRUE(console.process.readAllStandardError().contains("raised by a second start"));

        // Killed, it leaves its lock behind.
        console.End(SIGKILL);
    }
    const int identifications = first.Count(isIdentification);
    const int selects = first.Count(isSelect);
    Console next(runtime);
    ASSERT_TRUE(WaitUntil([&] { return first.Count(isSelect) > selects; }, 10000))
        << "the next start must run, not defer to a dead console";
    EXPECT_EQ(first.Count(isIdentification), identifications + 1);

    // Ended by SIGTERM, it releases the selected unit: its last request.
    EXPECT_TRUE(next.End(SIGTERM));
    ASSERT_TRUE(WaitUntil([&] { return !first.Events("unselected").empty(); }, Timeout));
    const QJsonObject last = first.Events("request").back();
    EXPECT_EQ(last["function"].toInt(), FunctionCodeUnselectUnit);
    EXPECT_EQ(NamedUnit(last), FirstUnitMAC);
    ExpectEveryRequestFromPort10021();
}

// Why this machine cannot run the tests; empty when it can.
QString MissingReason() {
    if (QString missing = MissingTestNetworkReason(); !missing.isEmpty())
        return missing;
    if (qEnvironmentVariableIsEmpty("TARNWICK_BINARY"))
        return "TARNWICK_BINARY does not name the tarnwick binary";
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return "no display: xvfb-run is missing (Debian package xvfb)";
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        return "xdotool is missing (Debian package xdotool)";
    return {};
}

} // namespace
} // namespace tarnwick::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (const QString missing = tarnwick::test::MissingReason(); !missing.isEmpty()) {
        std::fprintf(stderr, "end-to-end tests skipped: %s\n", qPrintable(missing));
        return tarnwick::test::SkippedExitCode;
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
