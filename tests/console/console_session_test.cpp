// The console session without a window: a recording sink stands in for the views, and the tests
// run the event loop's part in Apply themselves.
#include "console/console_session.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace tarnwick::test {
namespace {

using Texts = std::vector<std::string>;

struct RecordingSink : SessionSink {
    Texts sent, captions, shown; // shown: "<origin> <icon>: <text>"
    std::vector<MessageReport> reports;
    bool listEnabled = true, buttonsEnabled = false; // the views' start states
    int highlight = 0, applyStepsDue = 0;
    std::optional<std::string> sendError; // when set, every send fails with it

    std::optional<std::string> SendDatagram(const std::string& datagram) override {
        sent.push_back(datagram);
        return sendError;
    }
    void ShowMessage(const MessageReport& report, MessageOrigin origin) override {
        static const char* const origins[] = {"intake", "transport", "request", "validation"};
        static const char* const icons[] = {"information", "exclamation", "critical"};
        shown.push_back(std::string(origins[static_cast<int>(origin)]) + " " +
                        icons[static_cast<int>(report.icon)] + ": " + report.text);
        reports.push_back(report);
    }
    void ListEnabledChanged(bool enabled) override { listEnabled = enabled; }
    void ButtonsEnabledChanged(bool enabled) override { buttonsEnabled = enabled; }
    void HighlightChanged(int row) override { highlight = row; }
    void CaptionChanged(const std::string& caption) override { captions.push_back(caption); }
    void ApplyStepDue() override { ++applyStepsDue; }
};

std::string Mac(int unit) {
    return "00:1B:2C:00:00:0" + std::to_string(unit);
}
// A field item as requests write it.
std::string Item(const char* field, const std::string& value) {
    return field + (":" + value) + '\0';
}

// "identify", "select 2" and "unselect 2" stand for their exact bytes (the menu as it starts),
// "changes 3" for a change request naming unit 3; anything else stays bytes.
std::string Label(const std::string& datagram) {
    if (datagram == IdentificationRequest())
        return "identify";
    for (int unit = 1; unit <= 9; ++unit) {
        const std::string n = " " + std::to_string(unit), item = Item("0D", Mac(unit));
        if (datagram == *BuildRequest(17, 6, BeginDataPart("001", 0x1000, 0) + item))
            return "select" + n;
        if (datagram == *BuildRequest(18, 6, BeginDataPart("001", 0x1000, 0) + item))
            return "unselect" + n;
        if (datagram[MessageFieldsStartPositionsFunctionCode] == FunctionCodeChangeSettings &&
            datagram.find(Mac(unit)) != std::string::npos)
            return "changes" + n;
    }
    return datagram;
}

// A started session and what its window would show.
struct Console {
    explicit Console(bool internal = false) : session(sink, internal) {
        session.StartUp();
        EXPECT_EQ(Sent(), "identify");
    }
    // Sample unit n (1 to 9): Serial Number SN10000n, IP Address 10.0.0.n, Host Name kvq-n,
    // Unit ID CAMn (none for unit 3), DHCP on for odd n; here its Saved IP Address is 10.1.0.n
    // unless given.
    void Feed(std::initializer_list<int> units, const std::string& savedIp = "") {
        for (const int unit : units) {
            const std::string saved = savedIp.empty() ? "10.1.0." + std::to_string(unit) : savedIp;
            session.TakeDatagram(SampleUnitReply(unit), "10.0.0.200");
            session.TakeDatagram(IdentificationReplyBytes({{"0D", Mac(unit)}, {"07", saved}}), "u");
        }
    }
    // A cell as "<text>[ red][ bold]", the first column with "[ checked]".
    std::string At(int row, int column) const {
        const Cell& cell = session.Units().CellAt(row, column);
        return cell.text + (cell.colour == ColourRed ? " red" : "") + (cell.bold ? " bold" : "") +
               (column == 1 && session.Units().Row(row).checked ? " checked" : "");
    }
    // A release on the cell of `row` (selecting it), then the text committed there.
    CommitResult Commit(int row, int column, const std::string& text) {
        return session.StartEdit(row, true, column) ? session.SetText(text) : CommitResult::Refused;
    }
    // The labels of the datagrams sent since the last call, joined by ", ".
    std::string Sent() {
        std::string labels;
        for (const std::string& datagram : sink.sent)
            labels += (labels.empty() ? "" : ", ") + Label(datagram);
        sink.sent.clear();
        return labels;
    }
    std::string Tick() { return session.TimerOpenTick(1), Sent(); }
    std::string State() const {
        return "selected " + std::to_string(session.SelectedUnitIndex()) + " (highlight " +
               std::to_string(sink.highlight) + "), pending " +
               std::to_string(session.PendingChangeCount()) +
               (sink.buttonsEnabled ? ", buttons on" : ", buttons off") +
               (sink.listEnabled ? ", list on" : ", list off") + ", wait " +
               std::to_string(session.ReplyWaitTicks());
    }
    // Apply's steps, one per ApplyStepDue as the window's event loop runs them, until `sends`
    // datagrams have gone out or Apply has ended.
    void RunApply(std::size_t sends = 100) {
        for (; sink.sent.size() < sends && steps < sink.applyStepsDue && steps < 99; ++steps)
            session.ApplyStep();
    }

    RecordingSink sink;
    ConsoleSession session;
    int steps = 0;
};

class SessionTest : public ::testing::Test, public Console {};

TEST_F(SessionTest, CaptionShowsTheSocketStateAndChangesOnlyWhenItDiffers) {
    Texts expected = {"Lumivar Network Tarnwick"};
    int state = 0;
    for (const char* text :
         {"Closed", "Open", "Listening", "Connection pending", "Resolving host", "Host resolved",
          "Connecting", "Connected", "Server is disconnecting", "Error", ""}) {
        session.TimerOpenTick(state);
        session.TimerOpenTick(state++); // the same state again changes nothing
        expected.push_back(std::string("Lumivar Network Tarnwick - ") + text);
    }
    session.TimerOpenTick(-1); // outside the table, as 10 was
    EXPECT_EQ(sink.captions, expected);
    Console internal(true);
    internal.session.TimerOpenTick(1);
    EXPECT_EQ(internal.sink.captions.back(), "Lumivar Network Tarnwick - Internal Version - Open");
}

TEST_F(SessionTest, RowOneIsSelectedOnceTick61IdentifiesAndRefreshKeepsTheCounters) {
    session.SetLocalAddresses({"192.168.5.7", "10.0.0.5"});
    EXPECT_EQ(session.TakeDatagram(SampleUnitReply(1), "10.0.0.5"), IntakeResult::Dropped);
    EXPECT_EQ(Tick(), "") << "no units, no select";
    Feed({1, 2});
    for (int tick = 2; tick <= 60; ++tick)
        ASSERT_EQ(Tick(), "select 1") << tick;
    EXPECT_EQ(session.CurrentFieldNumber(), 1);
    EXPECT_EQ(Tick(), "identify") << "tick 61";
    EXPECT_EQ(Tick(), "select 1") << "tick 62";

    ASSERT_EQ(Commit(1, 13, "renamed"), CommitResult::Accepted);
    session.Refresh();
    EXPECT_EQ(Sent(), "identify");
    EXPECT_EQ(session.IdentifyElapsedMs(), 500);
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 1, buttons on, list on, wait 0");
    Feed({2, 1});
    EXPECT_EQ(Tick(), "select 2") << "the kept index names whichever unit answers first";
    EXPECT_FALSE(session.StartEdit(1, false, 9)); // a release beside the row unselects
    EXPECT_EQ(Sent(), "unselect 2");
    EXPECT_EQ(State(), "selected -1 (highlight 0), pending 1, buttons on, list on, wait 0");
    EXPECT_EQ(Tick(), "") << "no second automatic selection";
    session.ShutDown();
    EXPECT_EQ(Sent(), "") << "nothing selected, nothing to unselect";
}

// Select and unselect read field n from column n + 1, the change request each field's own column:
// with "&Serial Number" (item 4) or "&IP Address" (item 6) checked the two maps differ.
TEST(ConsoleSessionRequests, FilterMenuNamesRowTwoThroughTwoColumnMaps) {
    using Case =
        std::tuple<int, std::uint16_t, std::uint16_t, int, const char*, std::string, std::string>;
    for (const auto& [item, mask, changeMask, column, text, selectItems, changeItems] :
         {Case{-1, 0x1000, 0x0080, 10, "255.255.255.0", "",
               Item("0D", Mac(2)) + Item("08", "255.255.255.0")},
          Case{4, 0x1010, 0x0040, 9, "10.1.0.99", Item("05", "CAM2"),
               Item("05", "SN100002") + Item("0D", Mac(2)) + Item("07", "10.1.0.99")},
          Case{6, 0x1040, 0x0800, 13, "cam-2", Item("07", "10.0.0.2"),
               Item("07", "10.1.0.2") + Item("0D", Mac(2)) + Item("0C", "cam-2")}}) {
        Console c;
        c.session.SetFilterItemChecked(item, true);
        c.Feed({1, 2, 3});
        ASSERT_EQ(c.Commit(2, column, text), CommitResult::Accepted);
        EXPECT_FALSE(c.session.StartEdit(2, false, 2));
        c.session.SendChanges(2);
        const std::string id = BeginDataPart("001", mask, 0) + selectItems + Item("0D", Mac(2));
        EXPECT_EQ(
            c.sink.sent,
            (Texts{*BuildRequest(17, 6, id), *BuildRequest(18, 6, id),
                   *BuildRequest(19, 1, BeginDataPart("001", mask, changeMask) + changeItems)}));
    }
}

TEST_F(SessionTest, SelectBoldsOnlyMarkedCellsAndUnselectKeepsThemRed) {
    Feed({1, 2});
    ASSERT_EQ(Commit(1, 13, "cam-1"), CommitResult::Accepted);
    EXPECT_FALSE(session.StartEdit(1, false, 2));
    EXPECT_EQ(At(1, 13), "cam-1 red");
    EXPECT_FALSE(session.StartEdit(1, true, 2));
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column)
        EXPECT_EQ(At(1, column).find(" bold") != std::string::npos, column == 13) << column;
}

TEST_F(SessionTest, UnknownVersionIsReportedAndTheSelectStillGoesOut) {
    const auto reply = std::get<IdentificationReply>(TakeDatagram(SampleUnitReply(1), "u", {}));
    session.Take(IdentificationReply{reply.fields, "002", {}});
    EXPECT_EQ(Tick(), *BuildRequest(17, 6, BeginDataPart("002", 0, 0)));
    EXPECT_EQ(sink.shown, Texts{"request information: 002 - unknown version number."});
    EXPECT_EQ(sink.reports[0].title, "Error - Version Number");
    session.MessageClosed(MessageOrigin::Request);
    ASSERT_EQ(Commit(1, 9, "10.1.0.50"), CommitResult::Accepted);
    session.SendChanges(1);
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(sink.shown, Texts(2, "request information: 002 - unknown version number."));
    EXPECT_TRUE(sink.listEnabled);
    session.MessageClosed(MessageOrigin::Request);
    session.StartEdit(1, false, 9); // the unselect speaks "001" whatever the row's version
    EXPECT_EQ(Sent(), *BuildRequest(18, 6, BeginDataPart("001", 0, 0)));
}

TEST(ConsoleSessionEditor, EditableColumnsByModeAndUnitIDThenTabOrder) {
    for (const bool internal : {false, true}) {
        Console c(internal);
        c.Feed({1, 2, 3});
        const auto cell = [&](int row, int column) {
            return EditPlacement{row, column, c.session.Units().CellAt(row, column).text};
        };
        for (int row = 1; row <= 3; ++row) {
            // Unit ID (6) only when it has text, Serial Number (7) only in internal mode.
            const std::set<int> editable = {9, 10, 11, 12, 13, row < 3 ? 6 : 9, internal ? 7 : 9};
            for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column)
                EXPECT_EQ(c.session.StartEdit(row, true, column),
                          editable.contains(column) ? std::optional(cell(row, column))
                                                    : std::nullopt)
                    << internal << " row " << row << " column " << column;
        }
        ASSERT_TRUE(c.session.StartEdit(1, true, internal ? 7 : 9)); // Serial Number, Saved IP
        for (const int column :
             internal ? std::vector{9, 10, 11, 12, 13} : std::vector{10, 11, 12, 13})
            EXPECT_EQ(c.session.EditNextField(), cell(1, column));
        EXPECT_FALSE(c.session.EditNextField());
    }
}

TEST_F(SessionTest, AddressFieldsRefuseWithTheirOwnMessageButNeverAnUnchangedText) {
    Feed({1});
    Feed({2}, "010.1.1.1"); // zero-padded, as the unit wrote it
    EXPECT_EQ(Commit(2, 9, "010.1.1.1"), CommitResult::Accepted);
    EXPECT_EQ(Commit(2, 13, "kvq-2"), CommitResult::Accepted);
    EXPECT_EQ(Commit(2, 10, ""), CommitResult::Accepted);
    EXPECT_EQ(Commit(2, 13, "KVQ-2"), CommitResult::Accepted);
    EXPECT_EQ(At(2, 9) + "|" + At(2, 10) + "|" + At(2, 13), "010.1.1.1| red bold|KVQ-2 red bold");

    Texts shown;
    int column = 9;
    for (const std::string message :
         {"Incorrect IP Address.", "Incorrect Subnet mask.", "Gateway - Incorrect IP Address.",
          "DNS Server - Incorrect IP Address."}) {
        const std::string before = At(1, column);
        for (const char* bad : {"192.168.1", "192.168.1.256", "010.1.1.1"}) {
            EXPECT_EQ(Commit(1, column, bad), CommitResult::Refused) << bad;
            shown.push_back("validation exclamation: " + message);
            EXPECT_EQ(sink.shown, shown);
            session.MessageClosed(MessageOrigin::Validation);
        }
        EXPECT_EQ(At(1, column), before);
        EXPECT_EQ(Commit(1, column, "10.20.30.40"), CommitResult::Accepted);
        EXPECT_EQ(At(1, column++), "10.20.30.40 red bold");
        EXPECT_EQ(State(), "selected 1 (highlight 1), pending " + std::to_string(column - 7) +
                               ", buttons on, list on, wait 0");
    }
}

TEST_F(SessionTest, AnEditBelongsToItsUnitNotToItsRow) {
    for (const std::vector<int>& answering : {std::vector{2, 1, 3}, std::vector{3, 1}}) {
        session.Refresh();
        Feed({1, 2, 3});
        ASSERT_EQ(session.StartEdit(2, true, 9), (EditPlacement{2, 9, "10.1.0.2"}));
        session.Refresh();
        for (const int unit : answering)
            Feed({unit});
        EXPECT_EQ(session.SetText("10.1.0.77"), CommitResult::Accepted);
        EXPECT_EQ(session.PendingChangeCount(), 0);
        session.Apply();
        RunApply();
        EXPECT_EQ(Sent().find("changes"), std::string::npos);
    }
}

TEST_F(SessionTest, OneOpenBoxPerOriginAndTheTransportBoxDoesNotFreeTheIntakeBox) {
    RawDatagram odd; // intake reports it in a box
    odd.commandBits = 3;
    EXPECT_EQ(session.TakeDatagram(odd.Bytes(), "10.0.0.9"), IntakeResult::Message);
    session.TakeDatagram(odd.Bytes(), "10.0.0.9"); // its box is open
    sink.sendError = "Network is unreachable";
    session.Refresh();
    session.Refresh(); // the same run of failures
    session.MessageClosed(MessageOrigin::Transport);
    session.TakeDatagram(odd.Bytes(), "10.0.0.9"); // the intake box is still open
    sink.sendError.reset();
    session.Refresh();
    sink.sendError = "Network is unreachable";
    session.Refresh(); // a new run
    session.MessageClosed(MessageOrigin::Intake);
    session.TakeDatagram(odd.Bytes(), "10.0.0.9");
    ASSERT_EQ(sink.shown.size(), 4u);
    EXPECT_EQ(sink.shown[0] + "|" + sink.shown[3], "intake information: 3|intake information: 3");
    for (const std::size_t i : {1u, 2u})
        EXPECT_TRUE(sink.shown[i].starts_with("transport critical: ") &&
                    sink.shown[i].find("Network is unreachable") != std::string::npos);
    EXPECT_EQ(sink.reports[1].encoding, TextEncoding::Utf8);
    EXPECT_EQ(session.SuppressedMessages(), 2);
}

TEST_F(SessionTest, CheckBoxSelectsTheUnitTogglesTheRowMarkAndTravelsAsField10) {
    Feed({1, 2});
    session.RowCheckBoxChanged(1, true);
    EXPECT_EQ(Sent(), "select 1");
    EXPECT_EQ(At(1, 1), "Use DHCP red bold checked");
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 1, buttons on, list on, wait 0");
    session.RowCheckBoxChanged(1, false);
    EXPECT_EQ(Sent(), "unselect 1");
    EXPECT_EQ(At(1, 1), "Use DHCP");
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 2, buttons on, list on, wait 0");
    session.RowCheckBoxChanged(2, true);
    EXPECT_EQ(Sent(), "unselect 1, select 2");
    session.SendChanges(2);
    EXPECT_EQ(sink.sent, Texts{*BuildRequest(19, 1,
                                             BeginDataPart("001", 0x1000, 0x0200) +
                                                 Item("0D", Mac(2)) + Item("0A", "TRUE"))});
    EXPECT_EQ(State(), "selected 2 (highlight 2), pending 3, buttons on, list off, wait 10");
}

// Apply walks every row, one per turn of the event loop; what may happen meanwhile. The marks
// stay until the units reply.
TEST(ConsoleSessionApply, WalksEveryRowAndReselectsTheUnitSelectedBefore) {
    const std::string none = "selected -1 (highlight 0), pending 0, buttons off, list off, wait 10";
    const std::string marks = "; 10.1.0.91 red|10.1.0.93 red";
    using Case = std::tuple<const char*, int, void (*)(ConsoleSession&), const char*, std::string>;
    for (const auto& [name, before, meanwhile, sent, state] :
         {Case{"unit 2 selected before", 2, [](ConsoleSession&) {},
               "unselect 2, select 1, changes 1, unselect 1, select 2, unselect 2, select 3, "
               "changes 3, unselect 3, select 2",
               "selected 2 (highlight 2), pending 0, buttons off, list off, wait 10" + marks},
          Case{"a second Apply is ignored", -1, [](ConsoleSession& s) { s.Apply(); },
               "select 1, changes 1, unselect 1, select 2, unselect 2, select 3, changes 3, "
               "unselect 3",
               none + marks},
          Case{"ShutDown unselects and stops", -1, [](ConsoleSession& s) { s.ShutDown(); },
               "select 1, changes 1, unselect 1", ""},
          Case{"rows gone by Refresh are skipped", -1, [](ConsoleSession& s) { s.Refresh(); },
               "select 1, changes 1, identify", none}}) {
        SCOPED_TRACE(name);
        Console c;
        c.Feed({1, 2, 3});
        ASSERT_EQ(c.Commit(1, 9, "10.1.0.91"), CommitResult::Accepted);
        ASSERT_EQ(c.Commit(3, 9, "10.1.0.93"), CommitResult::Accepted);
        EXPECT_FALSE(c.session.StartEdit(before == -1 ? 3 : before, before != -1, 2));
        c.Sent();
        c.session.Apply();
        c.RunApply(before == -1 ? 2 : 3); // up to the first change request
        meanwhile(c.session);
        c.RunApply();
        EXPECT_EQ(c.Sent(), sent);
        EXPECT_FALSE(c.session.Applying());
        const std::string cells = c.session.UnitCount() ? "; " + c.At(1, 9) + "|" + c.At(3, 9) : "";
        EXPECT_EQ(state.empty() ? "" : c.State() + cells, state); // after ShutDown nothing matters
    }
}

// The list is disabled while a change request waits: ten ticks or any change reply release it.
TEST_F(SessionTest, DisabledListIgnoresReleasesUntilTheTenTickWaitOrAChangeReplyEnds) {
    const std::string released =
        "; selected 1 (highlight 1), pending 1, buttons on, list on, wait 0";
    Feed({1, 2});
    ASSERT_EQ(Commit(1, 9, "10.1.0.91"), CommitResult::Accepted);
    session.SendChanges(1);
    EXPECT_FALSE(session.StartEdit(1, false, 9));
    EXPECT_FALSE(session.StartEdit(2, true, 9));
    session.RowCheckBoxChanged(2, true);
    EXPECT_EQ(Sent(), "select 1, changes 1") << "the releases and the check box send nothing";
    EXPECT_EQ(At(2, 1), "Use DHCP");
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 1, buttons on, list off, wait 10");
    for (int tick = 1; tick <= 10; ++tick) {
        EXPECT_FALSE(sink.listEnabled) << tick;
        session.TimerOpenTick(1);
    }
    EXPECT_EQ(At(1, 9) + "; " + State(), "10.1.0.91 red bold" + released);
    session.SendChanges(1);
    EXPECT_EQ(session.Take(ChangeReply{}), IntakeResult::InvalidChangeReply);
    EXPECT_EQ(At(1, 9) + "; " + State(), "10.1.0.91 red bold" + released);
    session.SendChanges(1);
    const std::string reply = ChangeReplyBytes({{"0D", Mac(1)}, {"07", "10.1.0.92"}});
    EXPECT_EQ(session.TakeDatagram(reply, "10.0.0.1"), IntakeResult::ChangeReply);
    EXPECT_EQ(At(1, 9) + "; " + State(), "10.1.0.92" + released);
}

TEST_F(SessionTest, CancelAllRestoresWhatTheUnitsLastReported) {
    Feed({1, 2});
    ASSERT_EQ(Commit(1, 9, "10.1.0.91"), CommitResult::Accepted);
    ASSERT_EQ(Commit(2, 13, "cam-2"), CommitResult::Accepted);
    session.RowCheckBoxChanged(2, true);
    Feed({1}, "10.1.0.77"); // the unit moved while the edit waited
    ASSERT_EQ(At(1, 9), "10.1.0.91 red");
    session.CancelAll();
    EXPECT_EQ(At(1, 9) + "|" + At(2, 13) + "|" + At(2, 1), "10.1.0.77|kvq-2|Use DHCP");
    EXPECT_EQ(State(), "selected 2 (highlight 2), pending 0, buttons off, list on, wait 0");
}

} // namespace
} // namespace tarnwick::test
