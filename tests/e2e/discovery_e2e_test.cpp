// The protocol core against kvq-unit-sim across the private test network.
#include "console/list_columns.h"
#include "protocol/datagram.h"
#include "protocol/extras_rendering.h"
#include "tests/e2e/discovery_probe.h"
#include "tests/e2e/sim_process.h"

#include <QCoreApplication>
#include <QJsonArray>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

constexpr int Timeout = 5000;

bool IsReply(const QJsonObject& e, const char* kind) {
    return e["event"] == "reply" && e["kind"] == kind;
}

// What the table must show for one identification reply event of the simulator.
void ExpectRowShows(const UnitTable& table, int row, const QJsonObject& fields) {
    auto field = [&](int f) { return fields[QString::number(f)].toString().toStdString(); };
    for (int f = 1; f <= 15; ++f) {
        if (f == FieldNumberUseDHCP)
            EXPECT_EQ(table.Row(row).checked, field(f) == "TRUE") << "row " << row;
        else
            EXPECT_EQ(table.CellAt(row, ColumnOfField(f)).text, field(f))
                << "row " << row << " field " << f;
    }
    EXPECT_EQ(table.CellAt(row, ListViewFieldNumberDeviceInformationColumn).text,
              RenderExtraField(17, field(17)) + "," + RenderExtraField(18, field(18)) + ",");
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column)
        EXPECT_EQ(table.CellAt(row, column).colour, ColourBlack);
}

class DiscoveryEndToEnd : public ::testing::Test {
protected:
    void StartSim(const QStringList& arguments) {
        QString error;
        ASSERT_TRUE(sim.Start(arguments, error)) << error.toStdString();
        ASSERT_TRUE(probe.Bind(error)) << error.toStdString();
    }

    // One identification request, and every reply the simulator logs for it taken in.
    void Sweep(int units) {
        const int before = static_cast<int>(sim.EventsNamed("reply").size());
        const int seen = probe.IdentificationReplies();
        ASSERT_TRUE(probe.Broadcast(IdentificationRequest()));
        ASSERT_TRUE(
            sim.WaitForEvents([](const QJsonObject& e) { return IsReply(e, "identification"); },
                              before + units, Timeout));
        ASSERT_TRUE(
            probe.WaitUntil([&] { return probe.IdentificationReplies() >= seen + units; }, Timeout))
            << probe.IdentificationReplies() - seen << " of " << units << " replies arrived";
    }

    SimProcess sim;
    DiscoveryProbe probe;
};

TEST_F(DiscoveryEndToEnd, ThreeUnitsAppearWithEveryFieldInItsColumn) {
    StartSim({"--count", "3", "--seed", "7"});
    Sweep(3);
    const auto replies = sim.EventsNamed("reply");
    ASSERT_EQ(replies.size(), 3u);
    ASSERT_EQ(probe.Table().UnitCount(), 3);
    for (int row = 1; row <= 3; ++row) {
        const QJsonObject reply = replies[static_cast<std::size_t>(row - 1)];
        EXPECT_EQ(reply["unit"].toInt(), row - 1);
        ExpectRowShows(probe.Table(), row, reply["fields"].toObject());
    }
    const auto requests = sim.EventsNamed("request");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]["function"].toInt(), 16);
    EXPECT_EQ(requests[0]["class"].toInt(), 4);
}

TEST_F(DiscoveryEndToEnd, SecondSweepChangesNothing) {
    StartSim({"--count", "3"});
    Sweep(3);
    std::vector<UnitRow> first;
    for (int row = 1; row <= 3; ++row)
        first.push_back(probe.Table().Row(row));
    Sweep(3);
    ASSERT_EQ(probe.Table().UnitCount(), 3);
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(probe.Table().Row(row).cells, first[static_cast<std::size_t>(row - 1)].cells);
        EXPECT_EQ(probe.Table().Row(row).checked, first[static_cast<std::size_t>(row - 1)].checked);
    }
}

TEST_F(DiscoveryEndToEnd, MalformedDatagramsChangeNoRow) {
    StartSim({"--count", "3", "--malformed", "all"});
    Sweep(3);
    const auto replies = sim.EventsNamed("reply");
    const auto malformed = std::count_if(replies.begin(), replies.end(), [](const QJsonObject& e) {
        return e["kind"].toString().startsWith("malformed:");
    });
    EXPECT_EQ(malformed, 15);
    ASSERT_EQ(probe.Table().UnitCount(), 3);
    int row = 1;
    for (const QJsonObject& reply : replies)
        if (IsReply(reply, "identification"))
            ExpectRowShows(probe.Table(), row++, reply["fields"].toObject());
    // The boxes the console would show, one per reported kind.
    std::vector<std::string> titles;
    for (const auto& report : probe.Reports())
        titles.push_back(report.title);
    EXPECT_EQ(titles,
              (std::vector<std::string>{"Unknown Command Bits", "Unknown Function Code",
                                        "Unknown Message Class", "Version Number - Error",
                                        "Unknown Version Number", "Incorrect version number."}));
    EXPECT_EQ(probe.InvalidChangeReplies(), 1);
}

} // namespace
} // namespace tarnwick::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::RunEndToEndTests(argc, argv, "end-to-end tests");
}
