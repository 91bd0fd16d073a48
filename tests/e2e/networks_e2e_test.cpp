// The console on a machine with two networks: the real window and its real socket in namespace
// B, whose default route leads to the first unit network only, and kvq-unit-sim on both.
#include "app/main_window.h"
#include "protocol/constants.h"
#include "tests/e2e/sim_process.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

constexpr int Timeout = 5000;
constexpr int HostColumn = 13, MACColumn = 14;

class NetworksEndToEnd : public ::testing::Test {
protected:
    // Units 0-2 on the first network, `count` units from `firstIndex` on the second.
    void Start(int firstIndex, int count) {
        QString error;
        ASSERT_TRUE(first.Start({"--count", "3"}, error)) << error.toStdString();
        ASSERT_TRUE(second.Start(
            {"--count", QString::number(count), "--first-index", QString::number(firstIndex)},
            error, "TW_NS_A2"))
            << error.toStdString();
        window = std::make_unique<frmLumivarNetTarnwick>(false);
    }
    ConsoleSession& Session() { return window->Session(); }
    int RowOf(const std::string& mac) {
        for (int row = 1; row <= Session().UnitCount(); ++row)
            if (Session().Units().CellAt(row, MACColumn).text == mac)
                return row;
        return 0;
    }
    static int Requests(SimProcess& sim) {
        return static_cast<int>(sim.EventsNamed("request").size());
    }
    static bool Link(const char* state) {
        return QProcess::execute("ip", {"link", "set", "veth1", state}) == 0;
    }

    SimProcess first;
    SimProcess second;
    std::unique_ptr<frmLumivarNetTarnwick> window;
};

TEST_F(NetworksEndToEnd, UnitsOnBothNetworksAreListedAndChangesReachTheSecond) {
    Start(3, 3);
    ASSERT_TRUE(WaitUntil([&] { return Session().UnitCount() == 6; }, Timeout))
        << Session().UnitCount() << " of 6 units listed";
    const int row = RowOf("00:1B:2C:00:00:04"); // a unit on the second network
    ASSERT_NE(row, 0);
    ASSERT_TRUE(Session().StartEdit(row, true, HostColumn));
    ASSERT_EQ(Session().SetText("cable-side"), CommitResult::Accepted);
    Session().Apply();
    ASSERT_TRUE(WaitUntil(
        [&] { return Session().Units().CellAt(row, HostColumn).colour == ColourBlack; }, Timeout))
        << "no change reply from the second network";
    EXPECT_EQ(Session().Units().CellAt(row, HostColumn).text, "cable-side");
    ASSERT_TRUE(second.WaitForEvents([](const QJsonObject& e) { return e["event"] == "changed"; },
                                     1, 3000));
    EXPECT_EQ(second.EventsNamed("changed")[0]["unit"].toInt(), 1);
    EXPECT_TRUE(first.EventsNamed("changed").empty());
    // Every request went out once through each link, from port 10021.
    for (SimProcess* sim : {&first, &second})
        for (const QJsonObject& request : sim->EventsNamed("request"))
            EXPECT_EQ(request["fromPort"].toInt(), ConstantsCommKVQWithKVQConsoleSetupPort);
    window->close();
}

TEST_F(NetworksEndToEnd, AUnitReachableThroughBothLinksIsOneRow) {
    Start(2, 3); // unit 2 answers on both networks
    ASSERT_TRUE(WaitUntil([&] { return Session().UnitCount() >= 5; }, Timeout));
    QTest::qWait(1000);
    second.Events();
    EXPECT_EQ(Session().UnitCount(), 5);
    EXPECT_NE(RowOf("00:1B:2C:00:00:02"), 0);
    window->close();
}

TEST_F(NetworksEndToEnd, ALinkThatGoesDownIsLeftAloneAndUsedAgainWhenItComesBack) {
    Start(3, 3);
    ASSERT_TRUE(WaitUntil([&] { return Session().UnitCount() == 6; }, Timeout));
    ASSERT_TRUE(Link("down"));
    QTest::qWait(1200); // the down link is noticed within a tick
    second.Events();
    const int whileDown = Requests(second);
    QTest::qWait(2000);
    second.Events();
    EXPECT_EQ(Requests(second), whileDown) << "requests went to a link that is down";
    EXPECT_GT(Requests(first), 4) << "the other link must go on";
    ASSERT_TRUE(Link("up"));
    EXPECT_TRUE(second.WaitForEvents([](const QJsonObject& e) { return e["event"] == "request"; },
                                     whileDown + 2, Timeout))
        << "requests did not resume on the link";
    EXPECT_TRUE(window->findChildren<QMessageBox*>().empty()) << "no box for a link that is down";
    window->close();
}

} // namespace
} // namespace tarnwick::test

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return tarnwick::test::RunEndToEndTests(argc, argv, "networks end-to-end tests", {"TW_NS_A2"});
}
