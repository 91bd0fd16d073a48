// The in-place editor on the real window, offscreen.
#include "protocol/constants.h"
#include "protocol/list_columns.h"
#include "tests/app/window_test_support.h"
#include "tests/support/raw_datagram.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

constexpr int SavedIPColumn = 9, SubnetColumn = 10, GatewayColumn = 11, DNSColumn = 12,
              HostColumn = 13, UnitIDColumn = 6, SerialColumn = 7;

class Editor : public ::testing::Test {
protected:
    void Open(bool internalMode = false, int units = 3) {
        w = std::make_unique<WindowUnderTest>(internalMode);
        (*w)->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w->window.get()));
        (*w)->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w->window.get()));
        for (int unit = 1; unit <= units; ++unit) {
            const std::string n = std::to_string(unit);
            (*w)->TakeDatagram(IdentificationReplyBytes({{"0D", w->Mac(unit)},
                                                         {"05", "SN" + n},
                                                         {"07", "10.0.0." + n},
                                                         {"08", "255.255.0.0"},
                                                         {"0C", "host-" + n},
                                                         {"0F", unit == 3 ? "" : "CAM" + n},
                                                         {"0A", "FALSE"}}),
                               "192.168.7.2" + n);
        }
        w->TakeSent();
    }
    QTreeView* List() { return (*w)->ListViewUnitsOnline; }
    QLineEdit* Box() { return (*w)->CellEditor().txtEdit; }
    FieldEdit& Edit() { return (*w)->CellEditor(); }
    QRect CellRect(int row, int column) {
        return List()->visualRect(List()->model()->index(row - 1, column - 1));
    }
    void Click(QPoint at) { QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at); }
    // As a user would: scroll the cell into view, then click it.
    void ClickCell(int row, int column) {
        ScrollTo(row, column);
        Click(CellRect(row, column).center());
    }
    void ScrollTo(int row, int column) {
        List()->scrollTo(List()->model()->index(row - 1, column - 1));
    }
    void Type(const QString& text) { Box()->setText(text); }
    void Key(Qt::Key key) { QTest::keyClick(Box(), key); }
    const Cell& CellAt(int row, int column) { return (*w)->Units().CellAt(row, column); }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const auto& shown : w->shown)
            texts.push_back(shown.report.text);
        w->shown.clear();
        return texts;
    }

    std::unique_ptr<WindowUnderTest> w;
};

TEST_F(Editor, OpensExactlyOverTheClickedCellWithItsTextSelected) {
    Open();
    ScrollTo(2, SavedIPColumn);
    ClickCell(2, SavedIPColumn);
    ASSERT_TRUE(Edit().IsEditing());
    EXPECT_EQ(Box()->geometry(),
              CellRect(2, SavedIPColumn).intersected(List()->viewport()->rect()));
    EXPECT_EQ(Box()->text(), "10.0.0.2");
    EXPECT_EQ(Box()->selectedText(), "10.0.0.2");
    EXPECT_EQ(Edit().CurrentFieldNumber, FieldNumberSavedIPAddress);
    EXPECT_EQ(w->TakeSent(),
              std::vector<std::string>{UnitRequestFor(FunctionCodeSelectUnit, "001", w->Mac(2))});
}

TEST_F(Editor, ScrolledListsClipTheEditorToTheViewport) {
    Open();
    QScrollBar* bar = List()->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const int columnLeft = List()->header()->sectionPosition(SavedIPColumn - 1);
    const int width = List()->header()->sectionSize(SavedIPColumn - 1);
    const int viewportWidth = List()->viewport()->width();
    struct Case {
        const char* name;
        int scroll;
        int expectedLeft;
        int expectedWidth;
    };
    for (const Case& c : {
             Case{"fully visible", columnLeft - 10, 10, width},
             Case{"cut on the left", columnLeft + 30, 0, width - 30},
             Case{"cut on the right", columnLeft + width - viewportWidth - 40,
                  viewportWidth - width + 40, width - 40},
         }) {
        Edit().HideEditBox();
        bar->setValue(c.scroll);
        ASSERT_EQ(bar->value(), c.scroll) << c.name;
        const QRect cell = CellRect(1, SavedIPColumn);
        Click(QPoint(std::clamp(cell.center().x(), 1, viewportWidth - 2), cell.center().y()));
        ASSERT_TRUE(Edit().IsEditing()) << c.name;
        EXPECT_EQ(Box()->geometry().left(), c.expectedLeft) << c.name;
        EXPECT_EQ(Box()->geometry().width(), c.expectedWidth) << c.name;
        EXPECT_EQ(Box()->geometry().top(), cell.top()) << c.name;
        EXPECT_EQ(Box()->geometry().height(), cell.height()) << c.name;
    }
}

TEST_F(Editor, EditableColumnsInBothModes) {
    for (const bool internalMode : {false, true}) {
        Open(internalMode);
        for (int row : {1, 3}) { // unit 3 has no unit id
            for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
                Edit().HideEditBox();
                ScrollTo(row, column);
                ClickCell(row, column);
                bool expected = column >= SavedIPColumn && column <= HostColumn;
                if (column == UnitIDColumn)
                    expected = row == 1;
                if (column == SerialColumn)
                    expected = internalMode;
                EXPECT_EQ(Edit().IsEditing(), expected)
                    << "column " << column << " row " << row << " internal " << internalMode;
                EXPECT_EQ(Edit().CurrentFieldNumber,
                          FieldOfColumn[static_cast<std::size_t>(column - 1)]);
            }
        }
    }
}

TEST_F(Editor, AReleaseOnAnotherRowMovesTheSelection) {
    Open();
    ClickCell(1, HostColumn);
    w->TakeSent();
    ClickCell(3, 2);
    EXPECT_EQ(w->TakeSent(),
              (std::vector<std::string>{UnitRequestFor(FunctionCodeUnselectUnit, "001", w->Mac(1)),
                                        UnitRequestFor(FunctionCodeSelectUnit, "001", w->Mac(3))}));
    EXPECT_EQ(Edit().SelectedUnitIndex, 3);
    EXPECT_FALSE(Edit().IsEditing()) << "column 2 is not editable; the old edit was committed";
}

TEST_F(Editor, AReleaseBelowTheRowsUnselects) {
    Open();
    ClickCell(2, 2);
    w->TakeSent();
    const QRect last = CellRect(3, 2);
    Click(QPoint(last.center().x(), last.bottom() + 20));
    EXPECT_EQ(w->TakeSent(),
              std::vector<std::string>{UnitRequestFor(FunctionCodeUnselectUnit, "001", w->Mac(2))});
    EXPECT_EQ(Edit().SelectedUnitIndex, -1);
    EXPECT_TRUE(List()->selectionModel()->selectedRows().isEmpty());
    EXPECT_FALSE(Edit().IsEditing());
}

TEST_F(Editor, TabMovesToTheNextEditableFieldAndDropsTheText) {
    Open(true);
    struct Case {
        int from;
        int to; // 0: the editor closes
    };
    for (const Case& c :
         {Case{SavedIPColumn, SubnetColumn}, Case{SubnetColumn, GatewayColumn},
          Case{GatewayColumn, DNSColumn}, Case{DNSColumn, HostColumn}, Case{HostColumn, 0},
          Case{UnitIDColumn, 0}, Case{SerialColumn, SavedIPColumn}}) {
        Edit().HideEditBox();
        ScrollTo(1, c.from);
        ClickCell(1, c.from);
        ASSERT_TRUE(Edit().IsEditing()) << c.from;
        Type("typed");
        Key(Qt::Key_Tab);
        EXPECT_NE(CellAt(1, c.from).text, "typed") << c.from;
        EXPECT_EQ(CellAt(1, c.from).colour, ColourBlack);
        EXPECT_EQ(Edit().IsEditing(), c.to != 0) << c.from;
        if (c.to != 0) {
            EXPECT_EQ(Box()->geometry(), CellRect(1, c.to).intersected(List()->viewport()->rect()));
            EXPECT_EQ(Box()->text().toStdString(), CellAt(1, c.to).text);
        }
    }
    EXPECT_EQ((*w)->PendingChangeCount, 0);
}

TEST_F(Editor, EscapeLeavesTheCellAsItWas) {
    Open();
    ClickCell(1, HostColumn);
    Type("renamed");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_EQ(CellAt(1, HostColumn), (Cell{"host-1", ColourBlack, false}));
    EXPECT_EQ((*w)->PendingChangeCount, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Editor, SerialNumberStopsAtEightCharacters) {
    Open(true);
    ClickCell(1, SerialColumn);
    Type("1234567");
    QTest::keyClick(Box(), Qt::Key_8, Qt::NoModifier);
    EXPECT_EQ(Box()->text(), "12345678");
    EXPECT_TRUE(Messages().empty());
    QTest::keyClick(Box(), Qt::Key_9, Qt::NoModifier);
    EXPECT_EQ(Box()->text(), "12345679");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Serial Number too long."});
    EXPECT_TRUE(Edit().IsEditing());
}

TEST_F(Editor, ValidationRefusesAndKeepsTheEditorOpen) {
    Open();
    struct Case {
        int column;
        const char* text;
        const char* message;
    };
    for (const Case& c : {Case{SavedIPColumn, "192.168.1", "Incorrect IP Address."},
                          Case{SubnetColumn, "192.168.1.256", "Incorrect Subnet mask."},
                          Case{GatewayColumn, "1..2.3", "Gateway - Incorrect IP Address."},
                          Case{DNSColumn, "a.b.c.d", "DNS Server - Incorrect IP Address."}}) {
        ScrollTo(1, c.column);
        ClickCell(1, c.column);
        Type(c.text);
        Key(Qt::Key_Return);
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        EXPECT_TRUE(Edit().IsEditing());
        EXPECT_EQ(Box()->text(), c.text);
        EXPECT_EQ(CellAt(1, c.column).colour, ColourBlack);
        Key(Qt::Key_Escape);
    }
    EXPECT_FALSE((*w)->buttonApply->isEnabled());
}

TEST_F(Editor, TextsTheWireCannotCarryAreRefused) {
    Open();
    ClickCell(1, HostColumn);
    Type(QString::fromUtf8("caf\xc3\xa9-\xe2\x82\xac"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Host Name - Incorrect character."});
    EXPECT_TRUE(Edit().IsEditing());
    EXPECT_EQ(Box()->text(), QString::fromUtf8("caf\xc3\xa9-\xe2\x82\xac"));
    Type(QString::fromUtf8("caf\xc3\xa9"));
    Key(Qt::Key_Return);
    EXPECT_EQ(CellAt(1, HostColumn).text, "caf\xe9") << "Latin-1 goes out as one byte";
}

TEST_F(Editor, CommitsMarkCountAndEnableTheButtons) {
    Open();
    ScrollTo(1, SavedIPColumn);
    ClickCell(1, SavedIPColumn);
    Key(Qt::Key_Return); // unchanged: no mark
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_EQ((*w)->PendingChangeCount, 0);
    ClickCell(1, SavedIPColumn);
    Type("192.168.1.10");
    Key(Qt::Key_Return);
    EXPECT_EQ(CellAt(1, SavedIPColumn), (Cell{"192.168.1.10", ColourRed, true}));
    EXPECT_FALSE(Edit().IsEditing());
    EXPECT_EQ((*w)->PendingChangeCount, 1);
    EXPECT_TRUE((*w)->buttonApply->isEnabled());
    EXPECT_TRUE((*w)->buttonCancelAll->isEnabled());
    ClickCell(1, SavedIPColumn);
    Type("");
    Key(Qt::Key_Return);
    EXPECT_EQ(CellAt(1, SavedIPColumn), (Cell{"", ColourRed, true})) << "an address may be cleared";
    EXPECT_EQ((*w)->PendingChangeCount, 2);
    // Focus loss commits too.
    ScrollTo(1, HostColumn);
    ClickCell(1, HostColumn);
    Type("HOST-1");
    (*w)->buttonCancelAll->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(CellAt(1, HostColumn), (Cell{"HOST-1", ColourRed, true}));
    EXPECT_TRUE(w->TakeSent().size() > 0) << "only select requests went out";
}

TEST_F(Editor, ScrollingCommitsBeforeTheListMoves) {
    Open();
    QScrollBar* bar = List()->horizontalScrollBar();
    bar->setValue(0);
    ClickCell(1, HostColumn);
    Type("scrolled");
    std::string cellWhenMoving;
    auto watch = QObject::connect(bar, &QScrollBar::valueChanged,
                                  [&] { cellWhenMoving = CellAt(1, HostColumn).text; });
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QObject::disconnect(watch);
    EXPECT_EQ(cellWhenMoving, "scrolled") << "committed before the value changed";
    EXPECT_EQ(CellAt(1, HostColumn).colour, ColourRed);
    EXPECT_FALSE(Edit().IsEditing());

    // An invalid text: the message, the list still scrolls, the editor stays over its cell.
    ClickCell(1, SavedIPColumn);
    Type("1.2.3");
    const int before = bar->value();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Incorrect IP Address."});
    EXPECT_GT(bar->value(), before);
    EXPECT_TRUE(Edit().IsEditing());
    EXPECT_EQ(Box()->geometry(),
              CellRect(1, SavedIPColumn).intersected(List()->viewport()->rect()));
    Key(Qt::Key_Escape);

    // The mouse wheel too.
    ClickCell(2, HostColumn);
    Type("wheeled");
    QWheelEvent wheel(QPointF(10, 10), List()->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(List()->viewport(), &wheel);
    EXPECT_EQ(CellAt(2, HostColumn).text, "wheeled");
    EXPECT_FALSE(Edit().IsEditing());
}

TEST_F(Editor, NoCommitWithoutAnEditorOrARegistry) {
    Open();
    QScrollBar* bar = List()->horizontalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ((*w)->PendingChangeCount, 0);
    // Closing tears the editor down; a scroll message after that reaches nobody.
    ClickCell(1, HostColumn);
    Type("late");
    (*w)->close();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(CellAt(1, HostColumn).text, "host-1");
}

} // namespace
} // namespace tarnwick::test
