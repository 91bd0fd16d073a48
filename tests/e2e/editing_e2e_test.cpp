// The road of one change: the real window, its real socket and kvq-unit-sim on the private test
// network, driven like the offscreen tests (under Xvfb, so screenshots can be taken).
#include "app/main_window.h"
#include "protocol/constants.h"
#include "tests/e2e/sim_process.h"

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

constexpr int SavedIPColumn = 9, SubnetColumn = 10, HostColumn = 13;

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A picture of the whole X screen, when asked for one.
void Screenshot(const char* name) {
    const QString directory = qEnvironmentVariable("TARNWICK_SCREENSHOT_DIR");
    if (directory.isEmpty())
        return;
    QCoreApplication::processEvents();
    QProcess::execute("import", {"-window", "root", directory + "/" + name + ".png"});
}

class EditingEndToEnd : public ::testing::Test {
protected:
    void Edit(int row, int column, const QString& text) {
        QTreeView* list = window->ListViewUnitsOnline;
        const QModelIndex cell = list->model()->index(row - 1, column - 1);
        list->scrollTo(cell);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
        QLineEdit* box = window->CellEditor().txtEdit;
        ASSERT_TRUE(box->isVisible()) << "no editor on column " << column;
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
        ASSERT_FALSE(box->isVisible());
    }
    const Cell& At(int row, int column) { return window->Units().CellAt(row, column); }

    SimProcess sim;
    std::unique_ptr<frmLumivarNetTarnwick> window;
};

TEST_F(EditingEndToEnd, OneUnitGetsItsChangesAndTheRowTurnsBlack) {
    QString error;
    ASSERT_TRUE(sim.Start({"--count", "3"}, error)) << error.toStdString();
    window = std::make_unique<frmLumivarNetTarnwick>(false); // the real socket
    window->resize(900, 420);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow(); // without a window manager the focus may stay elsewhere
    ASSERT_TRUE(WaitFor([&] { return window->UnitCount() == 3; }, 5000));

    Edit(2, SavedIPColumn, "10.77.9.20");
    Edit(2, SubnetColumn, "255.255.255.0");
    Edit(2, HostColumn, "lobby-camera");
    for (const int column : {SavedIPColumn, SubnetColumn, HostColumn}) {
        EXPECT_EQ(At(2, column).colour, ColourRed);
        EXPECT_TRUE(At(2, column).bold);
    }
    window->ListViewUnitsOnline->scrollTo(window->ListViewUnitsOnline->model()->index(1, 8));
    Screenshot("pending");

    QTest::mouseClick(window->buttonApply, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return At(2, HostColumn).colour == ColourBlack; }, 5000))
        << "no change reply reached the row";
    EXPECT_EQ(At(2, SavedIPColumn), (Cell{"10.77.9.20", ColourBlack, false}));
    EXPECT_EQ(At(2, SubnetColumn), (Cell{"255.255.255.0", ColourBlack, false}));
    EXPECT_EQ(At(2, HostColumn), (Cell{"lobby-camera", ColourBlack, false}));
    EXPECT_TRUE(window->ListViewUnitsOnline->isEnabled());
    Screenshot("applied");

    ASSERT_TRUE(
        sim.WaitForEvents([](const QJsonObject& e) { return e["event"] == "changed"; }, 1, 3000));
    std::vector<QJsonObject> changes;
    for (const QJsonObject& e : sim.EventsNamed("request"))
        if (e["function"].toInt() == FunctionCodeChangeSettings)
            changes.push_back(e);
    ASSERT_EQ(changes.size(), 1u) << "only the edited unit gets a change request";
    const QJsonArray identification = changes[0]["identification"].toArray();
    ASSERT_EQ(identification.size(), 1);
    EXPECT_EQ(identification[0]["value"].toString(), "00:1B:2C:00:00:01");
    const QJsonArray items = changes[0]["changes"].toArray();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]["field"].toInt(), 7);
    EXPECT_EQ(items[0]["value"].toString(), "10.77.9.20");
    EXPECT_EQ(items[1]["field"].toInt(), 8);
    EXPECT_EQ(items[1]["value"].toString(), "255.255.255.0");
    EXPECT_EQ(items[2]["field"].toInt(), 12);
    EXPECT_EQ(items[2]["value"].toString(), "lobby-camera");
    const auto changed = sim.EventsNamed("changed");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0]["unit"].toInt(), 1);
    window->close();
}

} // namespace
} // namespace tarnwick::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return tarnwick::test::RunEndToEndTests(argc, argv, "editing end-to-end tests");
}
