// The window as a view of the session, offscreen: what only the widgets can show.
#include "app/about_box.h"
#include "app/host_identity.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "tests/app/window_test_support.h"
#include "tests/support/raw_datagram.h"

#include <QAction>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

constexpr int HostColumn = 13;

void Tick(QTreeView* list, int row, bool on) {
    QAbstractItemModel* model = list->model();
    model->setData(model->index(row - 1, 0), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

// A window whose boxes are real: what the user sees.
std::unique_ptr<frmLumivarNetTarnwick>
WindowWithBoxes(std::function<std::optional<std::string>()> send) {
    WindowSeams seams;
    seams.send = [send](const std::string&) { return send(); };
    seams.localAddresses = std::vector<std::string>{};
    return std::make_unique<frmLumivarNetTarnwick>(false, seams);
}

TEST(MainWindow, ControlsFollowTheSession) {
    WindowUnderTest w;
    EXPECT_EQ(w.sent, std::vector<std::string>{IdentificationRequest()});
    EXPECT_EQ(w->windowTitle(), "Lumivar Network Tarnwick");
    w.AddUnits(2);
    // The check box reaches the session; the session's answer reaches the view.
    Tick(w.List(), 2, true);
    EXPECT_EQ(w.List()->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(w.List()->selectionModel()->selectedRows().value(0).row(), 1);
    EXPECT_TRUE(w.Button("buttonApply")->isEnabled());
    EXPECT_TRUE(w.Button("buttonCancelAll")->isEnabled());
    w.Button("buttonCancelAll")->click();
    EXPECT_EQ(w.List()->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(w.Button("buttonApply")->isEnabled());
    // Filter items: the window's check marks are the session's.
    w.Find<QAction>("mnuHostName")->trigger();
    EXPECT_EQ(w.Session().IdentificationFilterChecks(),
              FieldBit(FieldNumberMACAddress) | FieldBit(FieldNumberHostName));
    w.Session().TimerOpenTick(1);
    EXPECT_EQ(w->windowTitle(), "Lumivar Network Tarnwick - Open");
    w.Find<QAction>("mnuAboutKVQChangeSettingsApplication")->trigger();
    ASSERT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.shown[0].report.text, AboutText(false));
}

TEST(MainWindow, ApplyYieldsToTheLoopAndClosingMeanwhileIsSafe) {
    WindowUnderTest w;
    w.AddUnits(3);
    Tick(w.List(), 1, true);
    Tick(w.List(), 3, true);
    w.TakeSent();
    w.Button("buttonApply")->click();
    EXPECT_TRUE(w.Session().Applying()) << "one row per turn of the event loop";
    // Exit while Apply waits for its next turn: one unselect, then nothing more.
    QTimer::singleShot(0, w.window.get(), [&] { w->close(); });
    QTest::qWait(50);
    const auto sent = w.TakeSent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(static_cast<unsigned char>(sent.back()[MessageFieldsStartPositionsFunctionCode]),
              FunctionCodeUnselectUnit);
    w.window.reset(); // destroyed with the walk stopped: nothing runs on a dead session
    QTest::qWait(20);
}

TEST(MainWindow, DestroyingTheWindowWithBoxesOpenIsSafe) {
    auto window = WindowWithBoxes([] { return std::nullopt; });
    window->show();
    RawDatagram bad;
    bad.commandBits = 3;
    bad.data = ReplyData({{"0D", "x"}});
    window->Session().TakeDatagram(bad.Bytes(), "192.168.7.30"); // returns: the box does not block
    window->Session().TakeDatagram(IdentificationReplyBytes({{"0D", "m"}}), "192.168.7.31");
    EXPECT_EQ(window->Session().UnitCount(), 1) << "replies go on while a box is open";
    ASSERT_EQ(window->findChildren<QMessageBox*>().size(), 1);
    window.reset();
    QTest::qWait(20);
}

TEST(MainWindow, BoxesShowWireTextsAsPlainLatin1AndErrorsAsUtf8) {
    int sends = 0;
    auto window = WindowWithBoxes([&sends]() -> std::optional<std::string> {
        if (++sends == 1)
            return std::nullopt;
        return std::string(
            "Binding UDP port 10021 failed: Adresse d\xc3\xa9j\xc3\xa0 utilis\xc3\xa9"
            "e");
    });
    RawDatagram version;
    version.data = ReplyData({{"0D", "x"}}, "<b>\xe9");
    window->Session().TakeDatagram(version.Bytes(), "192.168.7.40");
    window->Session().Refresh(); // the send fails
    const auto boxes = window->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 2);
    for (QMessageBox* box : boxes) {
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        if (box->windowTitle() == "Version Number - Error")
            EXPECT_EQ(box->text(), QString::fromUtf8("Unknown version number <<b>\xc3\xa9> from "
                                                     "192.168.7.40"));
        else
            EXPECT_EQ(box->text(), QString::fromUtf8("Binding UDP port 10021 failed: Adresse "
                                                     "d\xc3\xa9j\xc3\xa0 utilis\xc3\xa9"
                                                     "e"));
    }
    // Closing the network box leaves the intake box's claim alone: no second intake box.
    for (QMessageBox* box : boxes)
        if (box->windowTitle() == "Network Error")
            box->accept();
    QTest::qWait(20);
    window->Session().TakeDatagram(version.Bytes(), "192.168.7.40");
    EXPECT_EQ(window->findChildren<QMessageBox*>().size(), 1);
}

TEST(MainWindow, ARefusedAddressBoxReturnsTheFocusToTheEditor) {
    auto window = WindowWithBoxes([] { return std::nullopt; });
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->Session().TakeDatagram(IdentificationReplyBytes({{"0D", "m"}, {"0C", "h"}}),
                                   "10.1.1.1");
    auto* list = window->findChild<QTreeView*>("ListViewUnitsOnline");
    auto* box = window->findChild<QLineEdit*>("txtLabelEdit_ListViewUnitsOnline");
    const QModelIndex cell = list->model()->index(0, 8);
    list->scrollTo(cell);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
    ASSERT_TRUE(box->isVisible());
    box->setText("1.2.3");
    QTest::keyClick(box, Qt::Key_Return);
    const auto boxes = window->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text(), "Incorrect IP Address.");
    EXPECT_EQ(boxes[0]->windowTitle(), "Tarnwick");
    EXPECT_EQ(boxes[0]->icon(), QMessageBox::Warning);
    boxes[0]->accept();
    EXPECT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); }, 2000));
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(window->Session().Units().CellAt(1, HostColumn).text, "h");
}

TEST(MainWindow, NoToolbarButtonIsEverBlank) {
    WindowUnderTest w;
    for (const char* key : {"Exit", "Refresh", "Identify"}) {
        const QIcon icon = w.Find<QAction>(key)->icon();
        // Without an icon theme the bundled images stand in, drawn for 1x and 2x screens.
        EXPECT_FALSE(icon.pixmap(16, 16).isNull()) << key;
        EXPECT_GE(icon.pixmap(32, 32).width(), 32) << key;
    }
    EXPECT_FALSE(w->windowIcon().pixmap(48, 48).isNull());
}

TEST(HostIdentity, TheLookupNeverHoldsUpStartUp) {
    QObject context;
    bool answered = false;
    fGetHostIPAddresses(&context, [&](std::vector<std::string> addresses) {
        answered = true;
        for (const std::string& address : addresses)
            EXPECT_EQ(std::count(address.begin(), address.end(), '.'), 3) << address;
    });
    EXPECT_FALSE(answered) << "the caller waited for the resolver";
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, 10000));
}

} // namespace
} // namespace tarnwick::test
