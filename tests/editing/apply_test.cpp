// Check boxes, change requests, Apply and Cancel All on the real window, offscreen.
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "protocol/list_columns.h"
#include "tests/app/window_test_support.h"
#include "tests/support/raw_datagram.h"

#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

constexpr int SubnetColumn = 10, HostColumn = 13, UnitIDColumn = 6, SerialColumn = 7;

std::string Select(const WindowUnderTest& w, int unit) {
    return UnitRequestFor(FunctionCodeSelectUnit, "001", w.Mac(unit));
}
std::string Unselect(const WindowUnderTest& w, int unit) {
    return UnitRequestFor(FunctionCodeUnselectUnit, "001", w.Mac(unit));
}

// What the window's user does when editing a cell: red, bold, counted.
void MarkPending(WindowUnderTest& w, int row, int column, const std::string& text) {
    UnitTable& units = w->Units();
    units.SetText(row, column, text);
    units.SetColour(row, column, ColourRed);
    units.SetBold(row, column, true);
    w->CountPendingChange();
}

// The change request data part after the version, width and masks.
std::string ChangeRequest(const std::string& maskTexts,
                          std::initializer_list<std::pair<int, std::string>> items) {
    std::string data = std::string("001\0"
                                   "04",
                                   6) +
                       maskTexts;
    for (const auto& [field, value] : items)
        AppendFieldItem(data, field, value);
    return *BuildRequest(FunctionCodeChangeSettings, MessageClassChangeRequest, data);
}

void Tick(QAbstractItemModel* model, int row, bool on) {
    model->setData(model->index(row - 1, 0), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

TEST(CheckBox, TickingSelectsAndMarksTheUnit) {
    WindowUnderTest w;
    w.AddUnits(1);
    w.TakeSent();
    QAbstractItemModel* model = w->ListViewUnitsOnline->model();
    Tick(model, 1, true);
    EXPECT_EQ(w.TakeSent(), std::vector<std::string>{Select(w, 1)});
    EXPECT_EQ(w->Units().CellAt(1, 1).colour, ColourRed);
    EXPECT_TRUE(w->Units().CellAt(1, 1).bold);
    EXPECT_EQ(w->PendingChangeCount, 1);
    EXPECT_TRUE(w->buttonApply->isEnabled());
    EXPECT_TRUE(w->buttonCancelAll->isEnabled());

    Tick(model, 1, false);
    EXPECT_EQ(w.TakeSent(), std::vector<std::string>{Unselect(w, 1)});
    EXPECT_EQ(w->Units().CellAt(1, 1), (Cell{"Use DHCP", ColourBlack, false}));
    EXPECT_EQ(w->PendingChangeCount, 2);
    EXPECT_TRUE(w->buttonApply->isEnabled());
    EXPECT_EQ(w->CellEditor().SelectedUnitIndex, 1) << "the next tick selects it again";
}

TEST(ChangeRequest, ExactBytesOfTheMarkedFields) {
    struct Case {
        const char* name;
        std::function<void(WindowUnderTest&)> mark;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"check box only",
         [](WindowUnderTest& w) {
             w->Units().SetChecked(1, true);
             w->Units().SetColour(1, 1, ColourRed);
         },
         ChangeRequest("10000200", {{13, "00:00:00:00:00:01"}, {10, "TRUE"}})},
        {"cleared check box", [](WindowUnderTest& w) { w->Units().SetColour(1, 1, ColourRed); },
         ChangeRequest("10000200", {{13, "00:00:00:00:00:01"}, {10, "FALSE"}})},
        {"unit id and host name in ascending field order",
         [](WindowUnderTest& w) {
             MarkPending(w, 1, UnitIDColumn, "CAM-9");
             MarkPending(w, 1, HostColumn, "lobby");
         },
         ChangeRequest("10004800", {{13, "00:00:00:00:00:01"}, {12, "lobby"}, {15, "CAM-9"}})},
        {"subnet mask with the MAC filter",
         [](WindowUnderTest& w) { MarkPending(w, 1, SubnetColumn, "255.255.255.0"); },
         ChangeRequest("10000080", {{13, "00:00:00:00:00:01"}, {8, "255.255.255.0"}})},
        {"serial number from its own column",
         [](WindowUnderTest& w) { MarkPending(w, 1, SerialColumn, "SN1"); },
         ChangeRequest("10000010", {{13, "00:00:00:00:00:01"}, {5, "SN1"}})},
        {"host name in the filter and changed",
         [](WindowUnderTest& w) {
             w->FilterItems[8]->trigger();
             MarkPending(w, 1, HostColumn, "new");
         },
         ChangeRequest("18000800", {{12, "new"}, {13, "00:00:00:00:00:01"}, {12, "new"}})},
    };
    for (const Case& c : cases) {
        WindowUnderTest w;
        w.AddUnits(1);
        c.mark(w);
        w.TakeSent();
        w->CellEditor().SendChanges(1);
        EXPECT_EQ(w.TakeSent(), std::vector<std::string>{c.expected}) << c.name;
        EXPECT_FALSE(w->ListViewUnitsOnline->isEnabled()) << c.name;
        EXPECT_EQ(w->ReplyWaitTicks, 10) << c.name;
    }
    WindowUnderTest unmarked;
    unmarked.AddUnits(1);
    unmarked.TakeSent();
    unmarked->CellEditor().SendChanges(1);
    EXPECT_TRUE(unmarked.TakeSent().empty());
    EXPECT_TRUE(unmarked->ListViewUnitsOnline->isEnabled());
    EXPECT_EQ(unmarked->ReplyWaitTicks, 0);
}

TEST(Apply, WalksEveryUnitAndReturnsToTheSelectedOne) {
    WindowUnderTest w;
    w.AddUnits(3);
    MarkPending(w, 1, HostColumn, "one");
    MarkPending(w, 3, HostColumn, "three");
    w->CellEditor().SelectedUnitIndex = 2;
    w.TakeSent();
    w->buttonApply->click();
    const std::string change1 = ChangeRequest("10000800", {{13, w.Mac(1)}, {12, "one"}});
    const std::string change3 = ChangeRequest("10000800", {{13, w.Mac(3)}, {12, "three"}});
    EXPECT_EQ(w.TakeSent(),
              (std::vector<std::string>{Unselect(w, 2), Select(w, 1), change1, Unselect(w, 1),
                                        Select(w, 2), Unselect(w, 2), Select(w, 3), change3,
                                        Unselect(w, 3), Select(w, 2)}));
    EXPECT_EQ(w->CellEditor().SelectedUnitIndex, 2);
    EXPECT_EQ(w->PendingChangeCount, 0);
    EXPECT_FALSE(w->buttonApply->isEnabled());
    EXPECT_FALSE(w->buttonCancelAll->isEnabled());
    EXPECT_EQ(w->Units().CellAt(1, HostColumn).colour, ColourRed) << "marks wait for the reply";

    // The unit's reply turns the row black; without one, ten ticks enable the list.
    w->TakeDatagram(ChangeReplyBytes({{"0D", w.Mac(1)}, {"0C", "one"}}), "192.168.7.21");
    EXPECT_EQ(w->Units().CellAt(1, HostColumn), (Cell{"one", ColourBlack, false}));
    EXPECT_TRUE(w->ListViewUnitsOnline->isEnabled());
}

TEST(Apply, NothingSelectedBeforeEndsWithNothingSelected) {
    WindowUnderTest w;
    w.AddUnits(2);
    MarkPending(w, 2, HostColumn, "two");
    w.TakeSent();
    w->Apply();
    const auto sent = w.TakeSent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), Select(w, 1));
    EXPECT_EQ(sent.back(), Unselect(w, 2));
    EXPECT_EQ(w->CellEditor().SelectedUnitIndex, -1);
    EXPECT_TRUE(w->ListViewUnitsOnline->selectionModel()->selectedRows().isEmpty());
}

TEST(Apply, ARefreshMeanwhileSkipsTheRowsThatAreGoneAndASecondApplyIsIgnored) {
    WindowUnderTest w;
    w.AddUnits(3);
    MarkPending(w, 2, HostColumn, "two");
    w->CellEditor().SelectedUnitIndex = 3;
    w.TakeSent();
    // Both run inside Apply's first yield.
    QTimer::singleShot(0, w.window.get(), [&] {
        w->Apply();
        w->ToolbarButtonClick("Refresh");
    });
    w->Apply();
    EXPECT_EQ(w.TakeSent(),
              (std::vector<std::string>{Unselect(w, 3), Select(w, 1), IdentificationRequest()}))
        << "after the refresh no row is left to unselect, select or send changes to";
    EXPECT_EQ(w->CellEditor().SelectedUnitIndex, 3);
    EXPECT_EQ(w->PendingChangeCount, 0);
}

TEST(CancelAll, RestoresWhatTheUnitsLastReported) {
    WindowUnderTest w;
    w.AddUnits(2);
    // A refresh while the edit is pending: the unit's newest value is what comes back.
    MarkPending(w, 1, HostColumn, "edited");
    w->TakeDatagram(IdentificationReplyBytes({{"0D", w.Mac(1)}, {"0C", "reported"}}),
                    "192.168.7.21");
    QAbstractItemModel* model = w->ListViewUnitsOnline->model();
    Tick(model, 2, true);
    ASSERT_TRUE(w->Units().Row(2).checked);
    w->buttonCancelAll->click();
    EXPECT_EQ(w->Units().CellAt(1, HostColumn), (Cell{"reported", ColourBlack, false}));
    EXPECT_EQ(w->Units().CellAt(2, 1), (Cell{"Use DHCP", ColourBlack, false}));
    EXPECT_FALSE(w->Units().Row(2).checked);
    EXPECT_EQ(w->PendingChangeCount, 0);
    EXPECT_FALSE(w->buttonApply->isEnabled());
    EXPECT_FALSE(w->buttonCancelAll->isEnabled());
    w.TakeSent();
    w->Apply();
    for (const auto& sent : w.TakeSent())
        EXPECT_NE(static_cast<unsigned char>(sent[19]), FunctionCodeChangeSettings);
}

} // namespace
} // namespace tarnwick::test
