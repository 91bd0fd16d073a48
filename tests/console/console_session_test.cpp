// The console session without a window: its cycle, requests, editor and messages.
#include "console/network/network_interfaces.h"
#include "console/requests/unit_request_builder.h"
#include "tests/console/session_test_support.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

TEST_F(SessionTest, CaptionShowsTheSocketStateAndChangesOnlyWhenItDiffers) {
    for (const SocketState state : {SocketState::Closed, SocketState::Closed, SocketState::Open,
                                    SocketState::Error}) // the same state again changes nothing
        session->TimerOpenTick(state);
    const std::string base = "Lumivar Network Tarnwick";
    EXPECT_EQ(sink.captions,
              (Texts{base, base + " - Closed", base + " - Open", base + " - Error"}));
    Console internal(true);
    internal.session->TimerOpenTick(SocketState::Open);
    EXPECT_EQ(internal.sink.captions.back(), "Lumivar Network Tarnwick - Internal Version - Open");
}

TEST_F(SessionTest, RowOneIsSelectedOnceTick61IdentifiesAndRefreshKeepsTheCounters) {
    session->SetHostNetworks({"192.168.5.7", "10.0.0.5"}, {});
    EXPECT_EQ(session->TakeDatagram(SampleUnitReply(1), "10.0.0.5"), IntakeResult::Dropped);
    EXPECT_EQ(Tick(), "") << "no units, no select";
    Feed({1, 2});
    for (int tick = 2; tick <= 60; ++tick)
        ASSERT_EQ(Tick(), "select 1") << tick;
    EXPECT_EQ(session.State().CurrentFieldNumber, 1);
    EXPECT_EQ(Tick(), "identify") << "tick 61";
    EXPECT_EQ(Tick(), "select 1") << "tick 62";

    ASSERT_EQ(Commit(1, ColumnHostName, "renamed"), CommitResult::Accepted);
    session->Refresh();
    EXPECT_EQ(Sent(), "identify");
    EXPECT_EQ(session.State().IdentifyElapsedMs, 500);
    EXPECT_EQ(State(), "selected -1 (highlight 0), pending 1, buttons on, list on, wait 0");
    // The selection belongs to its unit: nobody else identifies itself while it is away.
    Feed({2});
    EXPECT_EQ(Tick(), "") << "row 1 is another unit now";
    Feed({1});
    EXPECT_EQ(State(), "selected 2 (highlight 2), pending 1, buttons on, list on, wait 0");
    EXPECT_EQ(Tick(), "select 1");
    // A key moving the current row selects its unit as a click on it would; no editor opens.
    EXPECT_TRUE(session->SelectRow(1) && session->SelectRow(1) && !session->SelectRow(3));
    EXPECT_EQ(Sent(), "unselect 1, select 2") << "row 1 holds unit 2";
    EXPECT_EQ(session.State().EditRow(), 0);
    EXPECT_FALSE(
        session->StartEdit(1, false, ColumnSavedIPAddress)); // a release beside the row unselects
    EXPECT_EQ(Sent(), "unselect 2");
    EXPECT_EQ(State(), "selected -1 (highlight 0), pending 1, buttons on, list on, wait 0");
    EXPECT_EQ(Tick(), "") << "no second automatic selection";
    session->ShutDown();
    EXPECT_EQ(Sent(), "") << "nothing selected, nothing to unselect";
}

// Select and unselect read field n from column n + 1, the change request each field's own column:
// with "&Serial Number" (item 4) or "&IP Address" (item 6) checked the two maps differ.
TEST(ConsoleSessionRequests, FilterMenuNamesRowTwoThroughTwoColumnMaps) {
    using Case =
        std::tuple<int, std::uint16_t, std::uint16_t, int, const char*, std::string, std::string>;
    for (const auto& [item, mask, changeMask, column, text, selectItems, changeItems] :
         {Case{-1, 0x1000, 0x0080, ColumnSubnetMask, "255.255.255.0", "",
               Item("0D", SampleMac(2)) + Item("08", "255.255.255.0")},
          Case{4, 0x1010, 0x0040, ColumnSavedIPAddress, "10.1.0.99", Item("05", "CAM2"),
               Item("05", "SN100002") + Item("0D", SampleMac(2)) + Item("07", "10.1.0.99")},
          Case{6, 0x1040, 0x0800, ColumnHostName, "cam-2", Item("07", "10.0.0.2"),
               Item("07", "10.1.0.2") + Item("0D", SampleMac(2)) + Item("0C", "cam-2")}}) {
        Console c;
        c.session->SetFilterItemChecked(item, true);
        c.Feed({1, 2, 3});
        ASSERT_EQ(c.Commit(2, column, text), CommitResult::Accepted);
        EXPECT_FALSE(c.session->StartEdit(2, false, ColumnVendorManufacturer));
        c.session->ResendChanges(2);
        const std::string id =
            BeginDataPart("001", mask, 0) + selectItems + Item("0D", SampleMac(2));
        EXPECT_EQ(
            c.sink.sent,
            (Texts{*BuildRequest(17, 6, id), *BuildRequest(18, 6, id), *BuildRequest(17, 6, id),
                   *BuildRequest(19, 1, BeginDataPart("001", mask, changeMask) + changeItems)}));
    }
}

// Only "001" rows reach the list through intake; the builder still refuses any other version
// rather than write masks the unit may read differently.
TEST(UnitRequestBuilder, ARowOfAnotherVersionGetsNoMasksAndSaysSo) {
    UnitTable table;
    table.AppendRow("002");
    table.SetText(1, ColumnMACAddress, SampleMac(1));
    table.SetColour(1, ColumnHostName, ColourRed);
    Texts shown;
    const MessageSink report = [&](const MessageReport& r) {
        shown.push_back(r.title + ": " + r.text);
    };
    EXPECT_EQ(GetIdentificationFilterBits(table, 1, 0x1000, report), 0);
    EXPECT_EQ(GetChangedFieldBits(table, 1, report), 0);
    EXPECT_EQ(shown, Texts(2, "Error - Version Number: 002 - unknown version number."));
    EXPECT_EQ(BuildUnitRequest(17, 6, "002", 0, 0, table, 1, SelectColumnMap()),
              BuildRequest(17, 6, BeginDataPart("002", 0, 0)));
}

// Which cells open and the Tab order are the editor's; the session asks it, for its unit.
TEST_F(SessionTest, OnlyEditableCellsOpenAndTabStaysWithTheUnit) {
    Feed({1, 2, 3});
    EXPECT_FALSE(session->StartEdit(3, true, ColumnUnitID)) << "unit 3 has no unit id";
    EXPECT_FALSE(session->StartEdit(1, true, ColumnSerialNumber));
    ASSERT_EQ(session->StartEdit(1, true, ColumnDefaultGateway),
              (EditPlacement{1, ColumnDefaultGateway, "10.0.0.1"}));
    EXPECT_EQ(session->EditNextField(), (EditPlacement{1, ColumnDNSServer, "10.0.0.2"}));
    EXPECT_EQ(session->EditNextField(), (EditPlacement{1, ColumnHostName, "kvq-1"}));
    EXPECT_FALSE(session->EditNextField());
}

// Which text each field takes is the validation's; the session refuses in the cell's own field.
TEST_F(SessionTest, ARefusedTextChangesNothingAndAnUnchangedOneIsNoChange) {
    Feed({1, 2});
    EXPECT_EQ(Commit(2, ColumnHostName, "kvq-2"), CommitResult::Accepted);
    EXPECT_EQ(Commit(2, ColumnSubnetMask, ""), CommitResult::Accepted);
    EXPECT_EQ(Commit(2, ColumnHostName, "KVQ-2"), CommitResult::Accepted);
    EXPECT_EQ(At(2, ColumnSubnetMask) + "|" + At(2, ColumnHostName), " red bold|KVQ-2 red bold");
    EXPECT_EQ(Commit(1, ColumnDNSServer, "192.168.1.256"), CommitResult::Refused);
    EXPECT_EQ(sink.shown, Texts{"validation exclamation: DNS Server - Incorrect IP Address."});
    EXPECT_EQ(At(1, ColumnDNSServer), "10.0.0.2");
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 2, buttons on, list on, wait 0");
}

// A commit holds every text to the one rule, however it got into the box, and keeps an address
// in its plain form, in the cell and on the wire.
TEST(ConsoleSessionEditor, AnOverLongTextIsRefusedAndAnAddressIsKeptPlain) {
    Console c(true);
    c.Feed({1, 2});
    EXPECT_EQ(c.Commit(1, ColumnSerialNumber, "SN1234567"), CommitResult::Refused);
    EXPECT_EQ(c.sink.shown, Texts{"validation exclamation: Serial Number too long."});
    EXPECT_EQ(c.Commit(1, ColumnSavedIPAddress, "10.1.000.001"), CommitResult::Accepted);
    EXPECT_EQ(c.Commit(2, ColumnSavedIPAddress, "192.168.001.010"), CommitResult::Accepted);
    EXPECT_EQ(c.At(1, ColumnSavedIPAddress) + "|" + c.At(2, ColumnSavedIPAddress),
              "10.1.0.1|192.168.1.10 red bold");
    EXPECT_EQ(c.session.State().PendingChangeCount, 1);
}

TEST_F(SessionTest, AnEditBelongsToItsUnitNotToItsRow) {
    Feed({1, 2, 3});
    ASSERT_EQ(session->StartEdit(2, true, ColumnSavedIPAddress),
              (EditPlacement{2, ColumnSavedIPAddress, "10.1.0.2"}));
    session->Refresh();
    Feed({2, 1, 3});
    EXPECT_EQ(session->SetText("10.1.0.77"), CommitResult::Accepted);
    EXPECT_EQ(session.State().PendingChangeCount, 0);
    session->Apply();
    RunApply();
    EXPECT_EQ(Sent().find("changes"), std::string::npos);
}

TEST_F(SessionTest, FailedSendsAreSaidOncePerRunBesideAnOpenIntakeBox) {
    RawDatagram odd; // intake reports it in a box
    odd.commandBits = 3;
    EXPECT_EQ(session->TakeDatagram(odd.Bytes(), "10.0.0.9"), IntakeResult::Message);
    session->TakeDatagram(odd.Bytes(), "10.0.0.9"); // its box is open
    sink.sendError = "Network is unreachable";
    session->Refresh();
    session->MessageClosed(MessageOrigin::Transport);
    session->Refresh(); // the same run of failures
    sink.sendError.reset();
    session->Refresh();
    sink.sendError = "Network is unreachable";
    session->Refresh(); // a new run
    ASSERT_EQ(sink.shown.size(), 3u);
    EXPECT_EQ(sink.shown[0], "intake information: 3");
    for (const std::size_t i : {1u, 2u})
        EXPECT_TRUE(sink.shown[i].starts_with("transport critical: ") &&
                    sink.shown[i].find("Network is unreachable") != std::string::npos);
    EXPECT_EQ(sink.reports[1].encoding, TextEncoding::Utf8);
}

TEST_F(SessionTest, OwnBroadcastsAreKnownByEveryInterfaceAddress) {
    // A host name that resolves to 127.0.1.1 names none of the addresses broadcasts leave from.
    NetworkInterface wired{"eth0", 2, true, true, true, false, {"10.0.0.5", "127.0.1.1"}, {8, 8}};
    NetworkInterface wifi{"wlan0", 3, true, true, true, false, {"192.168.1.20"}, {24}};
    session->SetHostNetworks({"127.0.1.1"}, {wired, wifi});
    EXPECT_EQ(session->TakeDatagram(SampleUnitReply(1), "192.168.1.20"), IntakeResult::Dropped);
    session->SetHostNetworks({"127.0.1.1"}, {wired}); // the Wi-Fi left
    EXPECT_EQ(session->TakeDatagram(SampleUnitReply(1), "192.168.1.20"),
              IntakeResult::IdentificationReply);
    session->SetHostNetworks({}, {{"eth0", 2, true, true, true, false, {"10.1.0.5"}, {16}}});
    EXPECT_TRUE(session.State().ReachabilityHint(1)) << "its current address is in no subnet here";
}

// A cable to a switch whose DHCP server has not answered yet: the link is up, but a broadcast
// through it has no address to leave from.
TEST(BroadcastInterfaces, ALinkWithoutAnIPv4AddressCarriesNothing) {
    const NetworkInterface wired{"eth0", 2, true, true, true, false, {"10.0.0.5"}};
    NetworkInterface waiting = wired;
    waiting.ipv4Addresses.clear();
    EXPECT_EQ(BroadcastInterfaces({wired, waiting}), std::vector{wired});
}

} // namespace
} // namespace tarnwick::test
