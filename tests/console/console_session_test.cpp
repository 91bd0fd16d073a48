#include "console/console_session.h"
#include "tests/console/recording_sink.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <utility>
#include <variant>

namespace tarnwick::test {
namespace {

std::string Identification(int unit, int functionCode = FunctionCodeSelectUnit) {
    return Request(functionCode, 6, BeginDataPart("001", 0x1000, 0) + Item(13, Mac(unit)));
}

// Intake reports this one in a box ("Unknown Command Bits").
std::string OddCommandBits() {
    RawDatagram datagram;
    datagram.commandBits = 3;
    datagram.data = ReplyData({{"0D", Mac(1)}});
    return datagram.Bytes();
}

TEST(ConsoleSessionStart, SendsTheIdentificationRequestOnly) {
    RecordingSink sink;
    ConsoleSession session(sink, false);
    session.StartUp();
    EXPECT_EQ(sink.sent, Texts{IdentificationRequest()});
    EXPECT_EQ(session.SelectedUnitIndex(), -1);
}

TEST(ConsoleSessionStart, CaptionShowsTheSocketStateAndChangesOnlyWhenItDiffers) {
    const std::array<const char*, 10> states = {
        "Closed",        "Open",       "Listening", "Connection pending",      "Resolving host",
        "Host resolved", "Connecting", "Connected", "Server is disconnecting", "Error"};
    for (const bool internal : {false, true}) {
        const std::string base =
            internal ? "Lumivar Network Tarnwick - Internal Version" : "Lumivar Network Tarnwick";
        RecordingSink sink;
        ConsoleSession session(sink, internal);
        session.StartUp();
        sink.captions.clear();
        for (int state = 0; state < 10; ++state) {
            session.TimerOpenTick(state);
            session.TimerOpenTick(state);
        }
        session.TimerOpenTick(10);
        session.TimerOpenTick(-1);
        ASSERT_EQ(sink.captions.size(), 11u);
        for (int state = 0; state < 10; ++state)
            EXPECT_EQ(sink.captions[state], base + " - " + states[state]);
        EXPECT_EQ(sink.captions[10], base + " - ");
    }
}

TEST_F(SessionTest, RowOneIsSelectedAutomaticallyOnlyOnce) {
    for (int tick = 0; tick < 3; ++tick)
        session.TimerOpenTick(1);
    EXPECT_TRUE(sink.sent.empty()) << "no units, no select";
    AddUnits(2);
    session.TimerOpenTick(1);
    EXPECT_EQ(sink.sent, Texts{Identification(1)});
    EXPECT_EQ(session.SelectedUnitIndex(), 1);
    EXPECT_EQ(session.CurrentFieldNumber(), 1);
    EXPECT_EQ(sink.highlight, 1);

    sink.Clear();
    EXPECT_EQ(session.StartEdit(2, true, 9), (EditPlacement{2, 9, "10.1.0.2"}));
    EXPECT_FALSE(session.StartEdit(2, false, 9)); // a release beside the row unselects
    EXPECT_EQ(Labels(), (Texts{"unselect 1", "select 2", "unselect 2"}));
    EXPECT_EQ(session.SelectedUnitIndex(), -1);
    EXPECT_EQ(sink.highlight, 0);
    sink.Clear();
    session.TimerOpenTick(1);
    EXPECT_TRUE(sink.sent.empty());
}

TEST_F(SessionTest, TickSixtyOneIdentifiesInsteadOfSelecting) {
    AddUnits(1);
    for (int tick = 1; tick <= 60; ++tick)
        session.TimerOpenTick(1);
    EXPECT_EQ(sink.sent, Texts(60, Identification(1)));
    sink.Clear();
    session.TimerOpenTick(1);
    EXPECT_EQ(sink.sent, Texts{IdentificationRequest()});
    EXPECT_EQ(session.IdentifyElapsedMs(), 0);
    session.TimerOpenTick(1);
    EXPECT_EQ(sink.sent, (Texts{IdentificationRequest(), Identification(1)}));
}

TEST_F(SessionTest, RefreshEmptiesTheListAndKeepsTheCounters) {
    AddUnits(2);
    session.TimerOpenTick(1);
    session.TimerOpenTick(1);
    ASSERT_EQ(Commit(1, 13, "renamed"), CommitResult::Accepted);
    sink.Clear();
    session.Refresh();
    EXPECT_EQ(sink.sent, Texts{IdentificationRequest()});
    EXPECT_EQ(session.UnitCount(), 0);
    EXPECT_EQ(session.IdentifyElapsedMs(), 1000);
    EXPECT_EQ(session.SelectedUnitIndex(), 1);
    EXPECT_EQ(session.PendingChangeCount(), 1);
    // The kept index names whichever unit answers first.
    Feed(UnitReply(2));
    session.TimerOpenTick(1);
    EXPECT_EQ(sink.sent, (Texts{IdentificationRequest(), Identification(2)}));
}

struct FilterCase {
    int item; // -1: the menu as it starts
    std::uint16_t mask;
    std::string selectItems;
    int editColumn;
    std::string editText;
    std::uint16_t changeMask;
    std::string changeItems;
};

class FilterRequests : public SessionTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(FilterRequests, SelectUnselectAndChangeOfRowThree) {
    const FilterCase& c = GetParam();
    if (c.item >= 0)
        session.SetFilterItemChecked(c.item, true);
    EXPECT_EQ(session.IdentificationFilterChecks(), c.mask);
    AddUnits(3);
    EXPECT_FALSE(session.StartEdit(3, true, 2));
    const std::string identification = BeginDataPart("001", c.mask, 0) + c.selectItems;
    EXPECT_EQ(sink.sent, Texts{Request(17, 6, identification)});
    ASSERT_EQ(Commit(3, c.editColumn, c.editText), CommitResult::Accepted);
    EXPECT_FALSE(session.StartEdit(3, false, 2));
    session.SendChanges(3);
    EXPECT_EQ(sink.sent,
              (Texts{Request(17, 6, identification), Request(18, 6, identification),
                     Request(19, 1, BeginDataPart("001", c.mask, c.changeMask) + c.changeItems)}));
}

// Select and unselect read field n from column n + 1, the change request each field's own column.
INSTANTIATE_TEST_SUITE_P(
    Menu, FilterRequests,
    ::testing::Values(FilterCase{-1, 0x1000, Item(13, Mac(3)), 10, "255.255.255.0", 0x0080,
                                 Item(13, Mac(3)) + Item(8, "255.255.255.0")},
                      FilterCase{4, 0x1010, Item(5, "UID-3") + Item(13, Mac(3)), 9, "10.1.0.99",
                                 0x0040, Item(5, "SN-3") + Item(13, Mac(3)) + Item(7, "10.1.0.99")},
                      FilterCase{6, 0x1040, Item(7, "10.0.0.3") + Item(13, Mac(3)), 13, "cam-3",
                                 0x0800,
                                 Item(7, "10.1.0.3") + Item(13, Mac(3)) + Item(12, "cam-3")}));

TEST_F(SessionTest, SelectBoldsOnlyMarkedCellsAndUnselectKeepsThemRed) {
    AddUnits(2);
    ASSERT_EQ(Commit(1, 13, "cam-1"), CommitResult::Accepted);
    EXPECT_FALSE(session.StartEdit(1, false, 2));
    EXPECT_EQ(At(1, 13), (Cell{"cam-1", ColourRed, false}));
    EXPECT_FALSE(session.StartEdit(1, true, 2));
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column)
        EXPECT_EQ(At(1, column).bold, column == 13) << column;
}

TEST_F(SessionTest, UnknownVersionIsReportedAndTheSelectStillGoesOut) {
    const auto reply = std::get<IdentificationReply>(TakeDatagram(UnitReply(1), "10.0.0.1", {}));
    EXPECT_EQ(session.Take(IdentificationReply{reply.fields, "002", {}}),
              IntakeResult::IdentificationReply);
    session.TimerOpenTick(1);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].origin, MessageOrigin::Request);
    EXPECT_EQ(sink.messages[0].report.icon, MessageIcon::Information);
    EXPECT_EQ(sink.messages[0].report.title, "Error - Version Number");
    EXPECT_EQ(sink.messages[0].report.text, "002 - unknown version number.");
    EXPECT_EQ(sink.sent, Texts{Request(17, 6, BeginDataPart("002", 0, 0))});

    session.MessageClosed(MessageOrigin::Request);
    ASSERT_EQ(Commit(1, 9, "10.1.0.50"), CommitResult::Accepted);
    sink.Clear();
    session.SendChanges(1);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].report.text, "002 - unknown version number.");
    EXPECT_TRUE(sink.sent.empty());
    EXPECT_TRUE(session.ListEnabled());
}

TEST(ConsoleSessionEditor, EditableColumnsByModeAndUnitID) {
    for (const bool internal : {false, true}) {
        RecordingSink sink;
        ConsoleSession session(sink, internal);
        session.StartUp();
        session.TakeDatagram(UnitReply(1), "10.0.0.1");
        session.TakeDatagram(UnitReply(2, "10.1.0.2", ""), "10.0.0.2");
        for (int row = 1; row <= 2; ++row) {
            std::set<int> editable = {9, 10, 11, 12, 13};
            if (row == 1)
                editable.insert(6);
            if (internal)
                editable.insert(7);
            for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
                const auto placed = session.StartEdit(row, true, column);
                const EditPlacement cell{row, column, session.Units().CellAt(row, column).text};
                EXPECT_EQ(placed, editable.contains(column) ? std::optional(cell) : std::nullopt)
                    << internal << " row " << row << " column " << column;
            }
        }
    }
}

TEST(ConsoleSessionEditor, TabWalksTheAddressFieldsThenCloses) {
    RecordingSink sink;
    ConsoleSession session(sink, true);
    session.StartUp();
    session.TakeDatagram(UnitReply(1), "10.0.0.1");
    ASSERT_TRUE(session.StartEdit(1, true, 7));
    const std::array<std::pair<int, int>, 5> columnAndField = {
        {{9, 7}, {10, 8}, {11, 9}, {12, 11}, {13, 12}}};
    for (const auto& [column, field] : columnAndField) {
        EXPECT_EQ(session.EditNextField(),
                  (EditPlacement{1, column, session.Units().CellAt(1, column).text}));
        EXPECT_EQ(session.CurrentFieldNumber(), field);
    }
    EXPECT_FALSE(session.EditNextField());
    ASSERT_TRUE(session.StartEdit(1, true, 6));
    EXPECT_FALSE(session.EditNextField());
}

TEST_F(SessionTest, AddressFieldsRefuseWithTheirOwnMessage) {
    AddUnits(1);
    const std::array<std::pair<int, const char*>, 4> fields = {
        {{9, "Incorrect IP Address."},
         {10, "Incorrect Subnet mask."},
         {11, "Gateway - Incorrect IP Address."},
         {12, "DNS Server - Incorrect IP Address."}}};
    int count = 0;
    for (const auto& [column, message] : fields) {
        const Cell before = At(1, column);
        for (const char* bad : {"192.168.1", "192.168.1.256", "010.1.1.1"}) {
            sink.Clear();
            EXPECT_EQ(Commit(1, column, bad), CommitResult::Refused) << bad;
            ASSERT_EQ(sink.messages.size(), 1u) << bad;
            EXPECT_EQ(sink.messages[0].report.text, message);
            EXPECT_EQ(sink.messages[0].report.icon, MessageIcon::Exclamation);
            EXPECT_EQ(sink.messages[0].origin, MessageOrigin::Validation);
            EXPECT_EQ(At(1, column), before);
            session.MessageClosed(MessageOrigin::Validation);
        }
        EXPECT_EQ(session.PendingChangeCount(), count);
        EXPECT_EQ(Commit(1, column, "10.20.30.40"), CommitResult::Accepted);
        EXPECT_EQ(At(1, column), (Cell{"10.20.30.40", ColourRed, true}));
        EXPECT_EQ(session.PendingChangeCount(), ++count);
        EXPECT_TRUE(sink.buttonsEnabled);
    }
}

TEST_F(SessionTest, CommitMarksOnlyRealChanges) {
    Feed(UnitReply(1, "010.1.1.1", "UID-1")); // as the unit wrote it
    EXPECT_EQ(Commit(1, 9, "010.1.1.1"), CommitResult::Accepted);
    EXPECT_EQ(Commit(1, 13, "host-1"), CommitResult::Accepted);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_FALSE(Marked(1, 9) || Marked(1, 13));
    EXPECT_EQ(session.PendingChangeCount(), 0);
    EXPECT_FALSE(sink.buttonsEnabled);

    EXPECT_EQ(Commit(1, 10, ""), CommitResult::Accepted);
    EXPECT_EQ(Commit(1, 13, "HOST-1"), CommitResult::Accepted);
    EXPECT_EQ(At(1, 10), (Cell{"", ColourRed, true}));
    EXPECT_EQ(At(1, 13), (Cell{"HOST-1", ColourRed, true}));
    EXPECT_EQ(session.PendingChangeCount(), 2);
    EXPECT_TRUE(sink.buttonsEnabled);
}

TEST_F(SessionTest, AnEditBelongsToItsUnitNotToItsRow) {
    for (const std::vector<int>& answering : {std::vector{2, 1, 3}, std::vector{3, 1}}) {
        session.Refresh();
        AddUnits(3);
        ASSERT_EQ(session.StartEdit(2, true, 9), (EditPlacement{2, 9, "10.1.0.2"}));
        EXPECT_EQ(session.EditRow(), 2);
        session.Refresh();
        EXPECT_EQ(session.EditRow(), 0);
        for (const int unit : answering)
            Feed(UnitReply(unit));
        EXPECT_EQ(session.SetText("10.1.0.77"), CommitResult::Accepted);
        for (int row = 1; row <= session.UnitCount(); ++row)
            EXPECT_FALSE(Marked(row, 9)) << row;
        EXPECT_EQ(session.PendingChangeCount(), 0);
        sink.Clear();
        session.Apply();
        FinishApply();
        EXPECT_FALSE(SentChanges());
    }
}

TEST_F(SessionTest, DisabledListIgnoresReleases) {
    AddUnits(2);
    ASSERT_EQ(Commit(1, 9, "10.1.0.91"), CommitResult::Accepted);
    session.SendChanges(1);
    ASSERT_FALSE(sink.listEnabled);
    sink.Clear();
    EXPECT_FALSE(session.StartEdit(1, false, 9));
    EXPECT_FALSE(session.StartEdit(2, true, 9));
    EXPECT_TRUE(sink.sent.empty());
    EXPECT_EQ(session.SelectedUnitIndex(), 1);
}

TEST_F(SessionTest, OneOpenBoxPerOrigin) {
    EXPECT_EQ(session.TakeDatagram(OddCommandBits(), "10.0.0.9"), IntakeResult::Message);
    session.TakeDatagram(OddCommandBits(), "10.0.0.9");
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].origin, MessageOrigin::Intake);
    EXPECT_EQ(sink.messages[0].report.title, "Unknown Command Bits");
    EXPECT_EQ(session.SuppressedMessages(), 1);

    sink.sendError = "Network is unreachable";
    session.Refresh();
    session.Refresh();
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1].origin, MessageOrigin::Transport);
    EXPECT_EQ(sink.messages[1].report.icon, MessageIcon::Critical);
    EXPECT_EQ(sink.messages[1].report.encoding, TextEncoding::Utf8);
    EXPECT_NE(sink.messages[1].report.text.find("Network is unreachable"), std::string::npos);
    session.MessageClosed(MessageOrigin::Transport);
    session.TakeDatagram(OddCommandBits(), "10.0.0.9");
    EXPECT_EQ(sink.messages.size(), 2u) << "the intake box is still open";

    sink.sendError.reset();
    session.Refresh();
    sink.sendError = "Network is unreachable";
    session.Refresh();
    session.MessageClosed(MessageOrigin::Intake);
    session.TakeDatagram(OddCommandBits(), "10.0.0.9");
    ASSERT_EQ(sink.messages.size(), 4u) << "a new run of failures, then the next intake box";
    EXPECT_EQ(sink.messages[2].origin, MessageOrigin::Transport);
    EXPECT_EQ(sink.messages[3].origin, MessageOrigin::Intake);
}

TEST_F(SessionTest, OwnBroadcastsAreDroppedBySender) {
    session.SetLocalAddresses({"192.168.5.7", "10.0.0.5"});
    EXPECT_EQ(session.TakeDatagram(UnitReply(1), "10.0.0.5"), IntakeResult::Dropped);
    EXPECT_EQ(session.UnitCount(), 0);
    EXPECT_EQ(session.TakeDatagram(UnitReply(1), "10.0.0.6"), IntakeResult::IdentificationReply);
    EXPECT_EQ(session.UnitCount(), 1);
}

TEST_F(SessionTest, ShutDownUnselectsTheSelectedUnit) {
    AddUnits(2);
    session.StartEdit(2, true, 2);
    sink.Clear();
    session.ShutDown();
    EXPECT_EQ(sink.sent, Texts{Identification(2, FunctionCodeUnselectUnit)});
}

TEST_F(SessionTest, ShutDownWithNothingSelectedSendsNothing) {
    AddUnits(2);
    session.ShutDown();
    EXPECT_TRUE(sink.sent.empty());
}

} // namespace
} // namespace tarnwick::test
