// The session's parts, each alone: the cell editor's rules, Apply's walk, the message gate and
// this computer's networks.
#include "console/network/host_networks.h"
#include "console/session/apply_walk.h"
#include "console/session/cell_editor.h"
#include "console/session/message_gate.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick::test {
namespace {

// Rows 1 to `count` of sample units; row 2 has no unit id.
void List(UnitTable& table, int count) {
    table.Clear();
    for (int row = 1; row <= count; ++row) {
        table.AppendRow("001");
        table.SetText(row, ColumnMACAddress, SampleMac(row));
        table.SetText(row, ColumnUnitID, row == 2 ? "" : "CAM");
    }
}

TEST(CellEditor, EditableFieldsByModeAndUnitIDThenTabOrderAndTheUnitNotTheRow) {
    UnitTable table;
    List(table, 2);
    // Fields 1 to 16: the addresses and the host name always, the unit id when the unit has
    // one, the serial number in the internal variant.
    const char* const open[2][2] = {{"......xxx.xx..x.", "......xxx.xx...."},
                                    {"....x.xxx.xx..x.", "....x.xxx.xx...."}};
    for (const bool internal : {false, true})
        for (int row = 1; row <= 2; ++row) {
            std::string opens;
            for (int field = 1; field <= 16; ++field)
                opens += IsEditable(table, row, field, internal) ? 'x' : '.';
            EXPECT_EQ(opens, open[internal][row - 1]) << internal << " row " << row;
        }
    std::vector<int> order;
    for (int field = FieldNumberSerialNumber; IsTabTarget(field) || order.empty();)
        order.push_back(field = NextTabField(field));
    EXPECT_EQ(order, (std::vector{7, 8, 9, 11, 12, 13}));

    CellEditor editor;
    EXPECT_EQ(editor.Open(table, 2, ColumnMACAddress),
              (EditPlacement{2, ColumnMACAddress, SampleMac(2)}));
    table.Clear(); // a Refresh: the same unit answers again, but as a new row
    table.AppendRow("001");
    table.SetText(1, ColumnMACAddress, SampleMac(2));
    EXPECT_EQ(editor.Text(table), "");
}

TEST(ApplyWalk, EveryRowOrTheGivenUnitsPassingOverThoseThatLeft) {
    UnitTable table;
    List(table, 3);
    ApplyWalk walk;
    ASSERT_TRUE(walk.Start({}, true, 3, {7, "mac", false}));
    EXPECT_FALSE(walk.Start({}, false, 3, {})) << "a second press while walking";
    EXPECT_TRUE(walk.TakeNewRound());
    EXPECT_FALSE(walk.TakeNewRound());
    EXPECT_EQ(walk.NextRow(table), 1);
    table.Clear(); // a Refresh meanwhile: one unit is back
    table.AppendRow("001");
    EXPECT_EQ(walk.NextRow(table), 0);
    EXPECT_EQ(walk.SelectedBefore().unit, 7u);
    walk.Stop();

    List(table, 3);
    ASSERT_TRUE(walk.Start({table.Row(3).id, table.Row(1).id}, false, 3, {}));
    EXPECT_FALSE(walk.TakeNewRound()) << "a resend goes on with the round";
    EXPECT_EQ(walk.NextRow(table), 3);
    EXPECT_EQ(walk.NextRow(table), 1);
    EXPECT_EQ(walk.NextRow(table), 0);
    EXPECT_FALSE(walk.IsApply());
}

TEST(MessageGate, OneBoxPerOriginAndARunOfFailuresSaidOnce) {
    MessageGate gate;
    EXPECT_TRUE(gate.Admit(MessageOrigin::Intake));
    EXPECT_FALSE(gate.Admit(MessageOrigin::Intake));
    EXPECT_TRUE(gate.Admit(MessageOrigin::Transport));
    gate.Closed(MessageOrigin::Transport);
    EXPECT_FALSE(gate.Admit(MessageOrigin::Intake)) << "another origin's box frees nothing";
    gate.Closed(MessageOrigin::Intake);
    EXPECT_TRUE(gate.Admit(MessageOrigin::Intake));
    EXPECT_EQ(gate.Suppressed(), 2);
    EXPECT_EQ(std::vector({gate.SendFailed(), gate.SendFailed()}), std::vector({true, false}));
    gate.SendSucceeded();
    EXPECT_TRUE(gate.SendFailed());
}

TEST(HostNetworks, EveryAddressOnceAndTheSubnetsOfTheInterfacesUp) {
    // A host name that resolves to 127.0.1.1 names none of the addresses broadcasts leave from.
    const NetworkInterface wired{"eth0", 2, true, true, true, false, {"10.0.0.5", "127.0.1.1"},
                                 {8, 8}};
    const NetworkInterface wifi{"wlan0", 3, true, true, true, false, {"192.168.1.20"}, {24}};
    HostNetworks host;
    EXPECT_EQ(host.UnreachableHint("172.16.0.9", "255.255.0.0"), std::nullopt) << "none known yet";
    host.Set({"127.0.1.1"}, {wired, wifi});
    EXPECT_EQ(host.LocalAddresses(), (Texts{"127.0.1.1", "10.0.0.5", "192.168.1.20"}));
    EXPECT_EQ(host.UnreachableHint("192.168.1.9", "255.255.255.0"), std::nullopt);
    EXPECT_TRUE(host.UnreachableHint("172.16.0.9", "255.255.0.0"));
}

} // namespace
} // namespace tarnwick::test
