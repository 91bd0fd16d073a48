// The console session without a window: its cycle, requests, editor and messages.
#include "console/network/network_interfaces.h"
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
    EXPECT_EQ(session->CurrentFieldNumber(), 1);
    EXPECT_EQ(Tick(), "identify") << "tick 61";
    EXPECT_EQ(Tick(), "select 1") << "tick 62";

    ASSERT_EQ(Commit(1, HostColumn, "renamed"), CommitResult::Accepted);
    session->Refresh();
    EXPECT_EQ(Sent(), "identify");
    EXPECT_EQ(session->IdentifyElapsedMs(), 500);
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
    EXPECT_EQ(session->EditRow(), 0);
    EXPECT_FALSE(session->StartEdit(1, false, SavedIPColumn)); // a release beside the row unselects
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
         {Case{-1, 0x1000, 0x0080, SubnetColumn, "255.255.255.0", "",
               Item("0D", SampleMac(2)) + Item("08", "255.255.255.0")},
          Case{4, 0x1010, 0x0040, SavedIPColumn, "10.1.0.99", Item("05", "CAM2"),
               Item("05", "SN100002") + Item("0D", SampleMac(2)) + Item("07", "10.1.0.99")},
          Case{6, 0x1040, 0x0800, HostColumn, "cam-2", Item("07", "10.0.0.2"),
               Item("07", "10.1.0.2") + Item("0D", SampleMac(2)) + Item("0C", "cam-2")}}) {
        Console c;
        c.session->SetFilterItemChecked(item, true);
        c.Feed({1, 2, 3});
        ASSERT_EQ(c.Commit(2, column, text), CommitResult::Accepted);
        EXPECT_FALSE(c.session->StartEdit(2, false, VendorColumn));
        c.session->SendChanges(2);
        const std::string id =
            BeginDataPart("001", mask, 0) + selectItems + Item("0D", SampleMac(2));
        EXPECT_EQ(
            c.sink.sent,
            (Texts{*BuildRequest(17, 6, id), *BuildRequest(18, 6, id),
                   *BuildRequest(19, 1, BeginDataPart("001", mask, changeMask) + changeItems)}));
    }
}

TEST_F(SessionTest, UnknownVersionIsReportedAndTheSelectStillGoesOut) {
    const auto reply = std::get<IdentificationReply>(DecodeDatagram(SampleUnitReply(1), "u", {}));
    session->Take(IdentificationReply{reply.fields, "002", {}});
    EXPECT_EQ(Tick(), *BuildRequest(17, 6, BeginDataPart("002", 0, 0)));
    EXPECT_EQ(sink.shown, Texts{"request information: 002 - unknown version number."});
    EXPECT_EQ(sink.reports[0].title, "Error - Version Number");
    session->MessageClosed(MessageOrigin::Request);
    ASSERT_EQ(Commit(1, SavedIPColumn, "10.1.0.50"), CommitResult::Accepted);
    session->SendChanges(1);
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(sink.shown, Texts(2, "request information: 002 - unknown version number."));
    EXPECT_TRUE(sink.listEnabled);
    session->MessageClosed(MessageOrigin::Request);
    session->StartEdit(1, false, SavedIPColumn); // the unselect speaks "001" whatever the version
    EXPECT_EQ(Sent(), *BuildRequest(18, 6, BeginDataPart("001", 0, 0)));
}

TEST(ConsoleSessionEditor, EditableColumnsByModeAndUnitIDThenTabOrder) {
    for (const bool internal : {false, true}) {
        Console c(internal);
        c.Feed({1, 2, 3});
        const auto cell = [&](int row, int column) {
            return EditPlacement{row, column, c.session->Units().CellAt(row, column).text};
        };
        for (int row = 1; row <= 3; ++row) {
            // Unit ID only when it has text, Serial Number only in internal mode.
            std::set<int> editable = {SavedIPColumn, SubnetColumn, GatewayColumn, DNSColumn};
            editable.insert({HostColumn, row < 3 ? UnitIDColumn : HostColumn,
                             internal ? SerialColumn : HostColumn});
            for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column)
                EXPECT_EQ(c.session->StartEdit(row, true, column),
                          editable.contains(column) ? std::optional(cell(row, column))
                                                    : std::nullopt)
                    << internal << " row " << row << " column " << column;
        }
        ASSERT_TRUE(c.session->StartEdit(1, true, internal ? SerialColumn : SavedIPColumn));
        const std::vector<int> after = {SavedIPColumn, SubnetColumn, GatewayColumn, DNSColumn,
                                        HostColumn};
        for (const int column : std::vector(after.begin() + (internal ? 0 : 1), after.end()))
            EXPECT_EQ(c.session->EditNextField(), cell(1, column));
        EXPECT_FALSE(c.session->EditNextField());
    }
}

// Which text each field takes is the validation's; the session refuses in the cell's own field.
TEST_F(SessionTest, ARefusedTextChangesNothingAndAnUnchangedOneIsNoChange) {
    Feed({1, 2});
    EXPECT_EQ(Commit(2, HostColumn, "kvq-2"), CommitResult::Accepted);
    EXPECT_EQ(Commit(2, SubnetColumn, ""), CommitResult::Accepted);
    EXPECT_EQ(Commit(2, HostColumn, "KVQ-2"), CommitResult::Accepted);
    EXPECT_EQ(At(2, SubnetColumn) + "|" + At(2, HostColumn), " red bold|KVQ-2 red bold");
    EXPECT_EQ(Commit(1, DNSColumn, "192.168.1.256"), CommitResult::Refused);
    EXPECT_EQ(sink.shown, Texts{"validation exclamation: DNS Server - Incorrect IP Address."});
    EXPECT_EQ(At(1, DNSColumn), "10.0.0.2");
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 2, buttons on, list on, wait 0");
}

// A commit holds every text to the one rule, however it got into the box, and keeps an address
// in its plain form, in the cell and on the wire.
TEST(ConsoleSessionEditor, AnOverLongTextIsRefusedAndAnAddressIsKeptPlain) {
    Console c(true);
    c.Feed({1, 2});
    EXPECT_EQ(c.Commit(1, SerialColumn, "SN1234567"), CommitResult::Refused);
    EXPECT_EQ(c.sink.shown, Texts{"validation exclamation: Serial Number too long."});
    EXPECT_EQ(c.Commit(1, SavedIPColumn, "10.1.000.001"), CommitResult::Accepted);
    EXPECT_EQ(c.Commit(2, SavedIPColumn, "192.168.001.010"), CommitResult::Accepted);
    EXPECT_EQ(c.At(1, SavedIPColumn) + "|" + c.At(2, SavedIPColumn),
              "10.1.0.1|192.168.1.10 red bold");
    EXPECT_EQ(c.session->PendingChangeCount(), 1);
    c.session->Apply();
    c.RunApply();
    std::string wire;
    for (const std::string& datagram : c.sink.sent)
        wire += datagram;
    EXPECT_NE(wire.find(Item("07", "192.168.1.10")), std::string::npos);
}

TEST_F(SessionTest, AnEditBelongsToItsUnitNotToItsRow) {
    for (const std::vector<int>& answering : {std::vector{2, 1, 3}, std::vector{3, 1}}) {
        session->Refresh();
        Feed({1, 2, 3});
        ASSERT_EQ(session->StartEdit(2, true, SavedIPColumn),
                  (EditPlacement{2, SavedIPColumn, "10.1.0.2"}));
        session->Refresh();
        for (const int unit : answering)
            Feed({unit});
        EXPECT_EQ(session->SetText("10.1.0.77"), CommitResult::Accepted);
        EXPECT_EQ(session->PendingChangeCount(), 0);
        session->Apply();
        RunApply();
        EXPECT_EQ(Sent().find("changes"), std::string::npos);
    }
}

TEST_F(SessionTest, OneOpenBoxPerOriginAndTheTransportBoxDoesNotFreeTheIntakeBox) {
    RawDatagram odd; // intake reports it in a box
    odd.commandBits = 3;
    EXPECT_EQ(session->TakeDatagram(odd.Bytes(), "10.0.0.9"), IntakeResult::Message);
    session->TakeDatagram(odd.Bytes(), "10.0.0.9"); // its box is open
    sink.sendError = "Network is unreachable";
    session->Refresh();
    session->Refresh(); // the same run of failures
    session->MessageClosed(MessageOrigin::Transport);
    session->TakeDatagram(odd.Bytes(), "10.0.0.9"); // the intake box is still open
    sink.sendError.reset();
    session->Refresh();
    sink.sendError = "Network is unreachable";
    session->Refresh(); // a new run
    session->MessageClosed(MessageOrigin::Intake);
    session->TakeDatagram(odd.Bytes(), "10.0.0.9");
    ASSERT_EQ(sink.shown.size(), 4u);
    EXPECT_EQ(sink.shown[0] + "|" + sink.shown[3], "intake information: 3|intake information: 3");
    for (const std::size_t i : {1u, 2u})
        EXPECT_TRUE(sink.shown[i].starts_with("transport critical: ") &&
                    sink.shown[i].find("Network is unreachable") != std::string::npos);
    EXPECT_EQ(sink.reports[1].encoding, TextEncoding::Utf8);
    EXPECT_EQ(session->SuppressedMessages(), 2);
}

TEST_F(SessionTest, OwnBroadcastsAreKnownByEveryInterfaceAddress) {
    // A host name that resolves to 127.0.1.1 names none of the addresses broadcasts leave from.
    NetworkInterface wired{"eth0", 2, true, true, true, false, {"10.0.0.5", "127.0.1.1"}, {8, 8}};
    NetworkInterface wifi{"wlan0", 3, true, true, true, false, {"192.168.1.20"}, {24}};
    session->SetHostNetworks({"127.0.1.1"}, {wired, wifi});
    EXPECT_EQ(session->LocalAddresses(), (Texts{"127.0.1.1", "10.0.0.5", "192.168.1.20"}));
    EXPECT_EQ(session->TakeDatagram(SampleUnitReply(1), "192.168.1.20"), IntakeResult::Dropped);
    session->SetHostNetworks({"127.0.1.1"}, {wired}); // the Wi-Fi left
    EXPECT_EQ(session->TakeDatagram(SampleUnitReply(1), "192.168.1.20"),
              IntakeResult::IdentificationReply);
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
