// The road of one change: the real window, its real socket and kvq-unit-sim on the private test
// network, clicked and typed into like a user would (under Xvfb, so screenshots can be taken).
#include "app/main_window.h"
#include "protocol/constants.h"
#include "tests/e2e/sim_process.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

constexpr int SavedIPColumn = 9, SubnetColumn = 10, HostColumn = 13, MACColumn = 14;

// A picture of the whole X screen, when asked for one.
void Screenshot(const char* name) {
    const QString directory = qEnvironmentVariable("TARNWICK_SCREENSHOT_DIR");
    if (directory.isEmpty())
        return;
    QTest::qWait(50);
    QProcess::execute("import", {"-window", "root", directory + "/" + name + ".png"});
}

class EditingEndToEnd : public ::testing::Test {
protected:
    void Start(const QStringList& simArguments) {
        QString error;
        ASSERT_TRUE(sim.Start(simArguments, error)) << error.toStdString();
        window = std::make_unique<frmLumivarNetTarnwick>(false); // the real socket
        window->resize(900, 420);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow(); // without a window manager the focus may stay elsewhere
        ASSERT_TRUE(WaitUntil([&] { return Session().UnitCount() == 3; }, 5000));
        list = window->findChild<QTreeView*>("ListViewUnitsOnline");
        box = window->findChild<QLineEdit*>("txtLabelEdit_ListViewUnitsOnline");
    }
    ConsoleSession& Session() { return window->Session(); }
    void Open(int row, int column) {
        const QModelIndex cell = list->model()->index(row - 1, column - 1);
        list->scrollTo(cell);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
        ASSERT_TRUE(box->isVisible()) << "no editor on column " << column;
    }
    void Edit(int row, int column, const QString& text) {
        Open(row, column);
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        ASSERT_FALSE(box->isVisible());
    }
    const Cell& At(int row, int column) { return Session().Units().CellAt(row, column); }
    std::vector<QJsonObject> ChangeRequests() {
        std::vector<QJsonObject> changes;
        for (const QJsonObject& e : sim.EventsNamed("request"))
            if (e["function"].toInt() == FunctionCodeChangeSettings)
                changes.push_back(e);
        return changes;
    }

    SimProcess sim;
    std::unique_ptr<frmLumivarNetTarnwick> window;
    QTreeView* list = nullptr;
    QLineEdit* box = nullptr;
};

TEST_F(EditingEndToEnd, OneUnitGetsItsChangesAndTheRowTurnsBlack) {
    Start({"--count", "3"});
    Edit(2, SavedIPColumn, "10.77.9.20");
    Edit(2, SubnetColumn, "255.255.255.0");
    Open(2, HostColumn);
    QTest::keyClicks(box, "lobby-camera");
    Screenshot("editor-open");
    QTest::keyClick(box, Qt::Key_Return);
    for (const int column : {SavedIPColumn, SubnetColumn, HostColumn})
        EXPECT_EQ(At(2, column).colour, ColourRed);
    list->scrollTo(list->model()->index(1, SavedIPColumn - 1));
    Screenshot("pending");

    QTest::mouseClick(window->findChild<QPushButton*>("buttonApply"), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return At(2, HostColumn).colour == ColourBlack; }, 5000))
        << "no change reply reached the row";
    EXPECT_EQ(At(2, SavedIPColumn), (Cell{"10.77.9.20", ColourBlack, false}));
    EXPECT_EQ(At(2, SubnetColumn), (Cell{"255.255.255.0", ColourBlack, false}));
    EXPECT_EQ(At(2, HostColumn), (Cell{"lobby-camera", ColourBlack, false}));
    EXPECT_TRUE(list->isEnabled());
    Screenshot("applied");

    ASSERT_TRUE(
        sim.WaitForEvents([](const QJsonObject& e) { return e["event"] == "changed"; }, 1, 3000));
    const auto changes = ChangeRequests();
    ASSERT_EQ(changes.size(), 1u) << "only the edited unit gets a change request";
    const QJsonArray identification = changes[0]["identification"].toArray();
    ASSERT_EQ(identification.size(), 1);
    EXPECT_EQ(identification[0]["value"].toString(), "00:1B:2C:00:00:01");
    const QJsonArray items = changes[0]["changes"].toArray();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]["value"].toString(), "10.77.9.20");
    EXPECT_EQ(items[1]["value"].toString(), "255.255.255.0");
    EXPECT_EQ(items[2]["value"].toString(), "lobby-camera");
    window->close();
}

TEST_F(EditingEndToEnd, AnEditOpenAcrossRefreshNeverReachesAnotherUnit) {
    Start({"--count", "3", "--reverse-every-other"});
    const std::string editedMac = At(1, MACColumn).text;
    Open(1, SavedIPColumn);
    QTest::keyClicks(box, "10.66.0.1");
    window->findChild<QAction*>("Refresh")->trigger(); // the toolbar's Refresh (F5)
    ASSERT_TRUE(WaitUntil([&] { return Session().UnitCount() == 3; }, 5000));
    ASSERT_NE(At(1, MACColumn).text, editedMac) << "the units came back in another order";
    QTest::keyClick(box, Qt::Key_Return);
    QTest::mouseClick(window->findChild<QPushButton*>("buttonApply"), Qt::LeftButton);
    QTest::qWait(700);
    sim.Events();
    for (const QJsonObject& change : ChangeRequests())
        EXPECT_EQ(
            change["identification"].toArray()[0].toObject()["value"].toString().toStdString(),
            editedMac)
            << "a change request named another unit";
    for (int row = 1; row <= 3; ++row)
        EXPECT_NE(At(row, SavedIPColumn).text, "10.66.0.1") << row;
    window->close();
}

} // namespace
} // namespace tarnwick::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return tarnwick::test::RunEndToEndTests(argc, argv, "editing end-to-end tests");
}
