// The edit box over the unit list, offscreen: placement, keys, focus and scrolling.
#include "app/list/pending_edit_delegate.h"
#include "tests/app/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

class Editor : public ::testing::Test {
protected:
    void Open(bool internalMode = false) {
        w = std::make_unique<WindowUnderTest>(internalMode);
        w->Show();
        w->AddUnits(3);
        w->Sent();
    }
    QTreeView* List() { return w->List(); }
    QLineEdit* Box() { return w->EditBox(); }
    bool Editing() { return Box()->isVisible(); }
    QRect Visible(int row, int column) {
        return w->CellRect(row, column).intersected(List()->viewport()->rect());
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(Box(), key, modifiers);
    }
    const Cell& CellAt(int row, int column) { return w->State().units.CellAt(row, column); }

    std::unique_ptr<WindowUnderTest> w;
};

TEST_F(Editor, OpensOverTheClickedCellWithItsTextSelectedAndReadable) {
    Open();
    w->ClickCell(2, ColumnSavedIPAddress);
    ASSERT_TRUE(Editing());
    EXPECT_EQ(Box()->geometry(), Visible(2, ColumnSavedIPAddress));
    EXPECT_EQ(Box()->text(), "10.1.0.2");
    EXPECT_EQ(Box()->selectedText(), "10.1.0.2");
    EXPECT_TRUE(Box()->hasFrame());
    // Not the list's pale selection colour: dark enough to read on the box's background.
    const QColor text = Box()->palette().color(QPalette::Text);
    const QColor base = Box()->palette().color(QPalette::Base);
    EXPECT_GT(base.lightnessF() - text.lightnessF(), 0.45) << text.name().toStdString();
    EXPECT_EQ(w->Sent(), "select 2");
}

// A click whose press lands beside the check box and whose release lands on it, and one wholly
// on it: each is one check-box change, never also a selecting release.
TEST_F(Editor, AClickOnACheckBoxIsOneCheckBoxChange) {
    Open();
    const QRect cell = w->CellRect(3, ColumnUseDHCP);
    const auto* delegate = dynamic_cast<const PendingEditDelegate*>(List()->itemDelegate());
    QPoint box = cell.center();
    for (box.rx() = cell.left(); box.x() < cell.right(); ++box.rx())
        if (delegate->OnCheckBox(*List(), List()->indexAt(box), box))
            break;
    ASSERT_LT(box.x(), cell.right()) << "no check box in the cell";
    for (const QPoint press : {QPoint(cell.right() - 4, box.y()), box}) {
        w->Session()->StartEdit(2, true, ColumnVendorManufacturer);
        w->Sent();
        QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, press);
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, box);
        EXPECT_EQ(w->Sent(), "unselect 2, select 3") << press.x();
        EXPECT_EQ(w->State().SelectedUnitIndex(), 3);
    }
    EXPECT_EQ(CellAt(3, ColumnUseDHCP), (Cell{"Use DHCP", ColourBlack, false})) << "toggled twice";
    EXPECT_EQ(w->State().PendingChangeCount, 2);
}

// The order is the session's; the box moves over the next cell, what was typed is dropped.
TEST_F(Editor, TabMovesTheBoxToTheNextFieldAndDropsTheText) {
    Open(true);
    w->ClickCell(1, ColumnSerialNumber);
    Box()->setText("typed");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Box()->geometry(), Visible(1, ColumnSavedIPAddress));
    EXPECT_EQ(Box()->text(), "10.1.0.1");
    w->ClickCell(1, ColumnHostName);
    Key(Qt::Key_Tab);
    EXPECT_FALSE(Editing()) << "no field after the host name";
    EXPECT_EQ(w->State().PendingChangeCount, 0);
}

TEST_F(Editor, EscapeLeavesTheCellAsItWasAndFocusLossCommits) {
    Open();
    w->ClickCell(1, ColumnHostName);
    Box()->setText("renamed");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(CellAt(1, ColumnHostName), (Cell{"kvq-1", ColourBlack, false}));
    w->ClickCell(1, ColumnHostName);
    Box()->setText("KVQ-1");
    List()->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(CellAt(1, ColumnHostName), (Cell{"KVQ-1", ColourRed, true}));
    EXPECT_FALSE(Editing());
    // Refresh empties the list: the box goes with its unit.
    w->ClickCell(2, ColumnHostName);
    w->Find<QAction>("Refresh")->trigger();
    EXPECT_FALSE(Editing());
}

// Arrows select units as clicks do and step one cell; F2 opens the current cell; Return commits
// and gives the list its focus back; Space ticks the row's box whatever cell is current.
TEST_F(Editor, TheKeyboardAloneSelectsEditsAndTicks) {
    Open();
    w->ClickCell(1, ColumnVendorManufacturer);
    w->Sent();
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    ASSERT_EQ(QApplication::focusWidget(), List());
    press(Qt::Key_Down);
    EXPECT_EQ(w->Sent(), "unselect 1, select 2");
    EXPECT_FALSE(Editing());
    for (int column = ColumnVendorManufacturer; column != ColumnSavedIPAddress;) {
        const int step = ColumnSavedIPAddress > column ? 1 : -1;
        press(step > 0 ? Qt::Key_Right : Qt::Key_Left);
        column += step;
        ASSERT_EQ(List()->currentIndex(), List()->model()->index(1, column - 1));
    }
    press(Qt::Key_F2);
    ASSERT_TRUE(Editing());
    EXPECT_EQ(Box()->geometry(), Visible(2, ColumnSavedIPAddress));
    QTest::keyClicks(Box(), "10.1.0.77");
    press(Qt::Key_Return);
    EXPECT_EQ(CellAt(2, ColumnSavedIPAddress), (Cell{"10.1.0.77", ColourRed, true}));
    EXPECT_EQ(QApplication::focusWidget(), List());
    EXPECT_EQ(w->Sent(), "") << "moving between cells and editing send nothing";
    const bool ticked = w->State().units.Row(2).checked;
    press(Qt::Key_Space);
    EXPECT_NE(w->State().units.Row(2).checked, ticked);
    EXPECT_EQ(w->State().PendingChangeCount, 2);
    EXPECT_EQ(w->Sent(), "unselect 2") << "as a click on the selected row's box";
    press(Qt::Key_Up);
    EXPECT_EQ(w->Sent(), "unselect 2, select 1");
}

TEST_F(Editor, SerialNumberRefusesOnlyKeysThatWouldInsertPastEight) {
    Open(true);
    w->ClickCell(1, ColumnSerialNumber);
    Box()->setText("1234567");
    Key(Qt::Key_8);
    EXPECT_EQ(Box()->text(), "12345678");
    EXPECT_EQ(w->Messages(), Texts{});
    // Keys that insert nothing never take a character away.
    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Left, Qt::Key_Home, Qt::Key_End})
        Key(key);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Box()->text(), "12345678");
    EXPECT_EQ(w->Messages(), Texts{});
    Key(Qt::Key_End);
    Key(Qt::Key_9);
    EXPECT_EQ(Box()->text(), "12345678");
    EXPECT_EQ(w->Messages(), Texts{"Serial Number too long."});
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Box()->text(), "1234567");
    Box()->selectAll();
    Key(Qt::Key_A); // replaces the selection: shorter, allowed
    EXPECT_EQ(Box()->text(), "a");
    EXPECT_TRUE(Editing());
}

TEST_F(Editor, ARefusedTextKeepsTheEditorOpenOverItsCell) {
    Open();
    w->ClickCell(1, ColumnSavedIPAddress);
    Box()->setText("192.168.1");
    Key(Qt::Key_Return);
    const auto boxes = w->window->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->windowTitle(), "Tarnwick");
    EXPECT_EQ(boxes[0]->icon(), QMessageBox::Warning);
    EXPECT_EQ(w->Messages(), Texts{"Incorrect IP Address."});
    EXPECT_TRUE(QTest::qWaitFor([&] { return Box()->hasFocus(); }, 2000)) << "back to the box";
    EXPECT_TRUE(Editing());
    EXPECT_EQ(Box()->text(), "192.168.1");
    // Scrolling with a refused text: the list still moves and the editor follows its cell.
    QScrollBar* bar = List()->horizontalScrollBar();
    const int before = bar->value();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(w->Messages(), Texts{"Incorrect IP Address."});
    EXPECT_GT(bar->value(), before);
    EXPECT_EQ(Box()->geometry(), Visible(1, ColumnSavedIPAddress));
    // Scrolled out of sight, the cell leaves the box where the user can still see it.
    const QRect shown = Box()->geometry();
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    w->Messages();
    ASSERT_TRUE(Visible(1, ColumnSavedIPAddress).isEmpty());
    EXPECT_EQ(Box()->geometry(), shown);
}

TEST_F(Editor, AnEditOpenWhileApplyWaitsIsKeptNotCommitted) {
    Open();
    w->ClickCell(2, ColumnHostName);
    Box()->setText("lobby");
    Key(Qt::Key_Return);
    w->ClickCell(1, ColumnHostName);
    Box()->setText("typed meanwhile");
    w->Session()->Apply(); // the change request for row 2 disables the list, and the box with it
    QTest::qWait(50);
    ASSERT_FALSE(List()->isEnabled());
    EXPECT_TRUE(Editing());
    EXPECT_EQ(CellAt(1, ColumnHostName).text, "kvq-1") << "committed in the middle of Apply";
    EXPECT_EQ(Box()->text(), "typed meanwhile");
    // The unit answers: the list and the box come back, and the edit goes on.
    w->link->Deliver(ChangeReplyBytes({{"0D", SampleMac(2)}, {"0C", "lobby"}}), "10.1.1.2");
    EXPECT_TRUE(Box()->isEnabled());
    Key(Qt::Key_Return);
    EXPECT_EQ(CellAt(1, ColumnHostName), (Cell{"typed meanwhile", ColourRed, true}));
    EXPECT_TRUE(w->Button("buttonApply")->isEnabled());
}

TEST_F(Editor, ScrollingCommitsBeforeTheListMoves) {
    Open();
    QScrollBar* bar = List()->horizontalScrollBar();
    bar->setValue(0);
    w->ClickCell(1, ColumnHostName);
    Box()->setText("scrolled");
    std::string cellWhenMoving;
    auto watch = QObject::connect(bar, &QScrollBar::valueChanged,
                                  [&] { cellWhenMoving = CellAt(1, ColumnHostName).text; });
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QObject::disconnect(watch);
    EXPECT_EQ(cellWhenMoving, "scrolled") << "committed before the value changed";
    EXPECT_FALSE(Editing());

    w->ClickCell(2, ColumnHostName);
    Box()->setText("wheeled");
    QWheelEvent wheel(QPointF(10, 10), List()->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(List()->viewport(), &wheel);
    EXPECT_EQ(CellAt(2, ColumnHostName).text, "wheeled");
}

// In the open box every key is the box's: nothing reaches the list behind it, so the selection
// stays and Return commits what was typed to the unit the box was opened on. A paste that would
// break the field's rule is refused whole.
TEST_F(Editor, TheOpenBoxKeepsItsKeysAndRefusesAPasteThatBreaksTheRule) {
    Open(true);
    w->ClickCell(1, ColumnHostName);
    w->Sent();
    QTest::keyClicks(Box(), "cam-a");
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_PageUp,
                              Qt::Key_F2, Qt::Key_End, Qt::Key_Home})
        Key(key);
    EXPECT_EQ(w->Sent(), "");
    ASSERT_TRUE(Editing());
    EXPECT_EQ(Box()->text(), "cam-a");
    Key(Qt::Key_Return);
    EXPECT_EQ(CellAt(1, ColumnHostName), (Cell{"cam-a", ColourRed, true}));

    w->ClickCell(1, ColumnSerialNumber);
    ASSERT_TRUE(Editing());
    const QString serial = Box()->text();
    QApplication::clipboard()->setText("SN12345678XY");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Box()->text(), serial) << "a 12-character serial number pasted";
    QApplication::clipboard()->setText("SN7");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Box()->text(), "SN7");
}

} // namespace
} // namespace tarnwick::test
