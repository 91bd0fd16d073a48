// End to end, the process's side: links that come and go, a port that is taken, and the real
// binary as an ordinary user starts, is killed and ends it; and the driver's main, which skips
// (exit 77) where the machine cannot run it.
#include "e2e_support.h"

namespace tarnwick::test {
namespace {

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
    if (QString missing = kvqsim::MissingTestNetworkReason(); !missing.isEmpty())
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
