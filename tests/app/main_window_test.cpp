#include "app/about_box.h"
#include "app/unit_table_model.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "tests/app/window_test_support.h"
#include "tests/support/raw_datagram.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

std::string SelectFor(const std::string& mac) {
    return UnitRequestFor(FunctionCodeSelectUnit, "001", mac);
}
std::string UnselectFor(const std::string& mac) {
    return UnitRequestFor(FunctionCodeUnselectUnit, "001", mac);
}

TEST(MainWindowStartUp, ControlsMenusAndTheFirstDatagram) {
    WindowUnderTest w;
    EXPECT_EQ(w.sent, std::vector<std::string>{IdentificationRequest()});
    EXPECT_EQ(w->windowTitle(), "Lumivar Network Tarnwick");
    EXPECT_EQ(w->CellEditor().SelectedUnitIndex, -1);
    EXPECT_TRUE(w->TimerOpen.isActive());
    EXPECT_EQ(w->TimerOpen.interval(), 500);

    QHeaderView* header = w->ListViewUnitsOnline->header();
    ASSERT_EQ(header->count(), 16);
    const char* headers[] = {"Use DHCP",
                             "Vendor / Manufacturer",
                             "Software Application Name",
                             "Software Version",
                             "Hardware Version",
                             "Unit ID",
                             "Serial Number",
                             "IP Address",
                             "Saved IP Address",
                             "Subnet Mask",
                             "Default Gateway",
                             "DNS Server",
                             "Host Name",
                             "MAC Address",
                             "DIP Switch",
                             "Device Information"};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(w->ListViewUnitsOnline->model()->headerData(i, Qt::Horizontal).toString(),
                  headers[i]);
        EXPECT_FALSE(header->isSectionHidden(i));
    }
    EXPECT_FALSE(w->buttonApply->isEnabled());
    EXPECT_FALSE(w->buttonCancelAll->isEnabled());
    EXPECT_EQ(w->buttonApply->text(), "Apply");
    EXPECT_EQ(w->buttonCancelAll->text(), "Cancel All");
    EXPECT_FALSE(w->CheckBoxIdntificationMode->isEnabled());
    EXPECT_FALSE(w->CheckBoxIdntificationMode->isChecked());
    EXPECT_EQ(w->CheckBoxIdntificationMode->text(), "Auto Identification");
    ASSERT_NE(w->StatusBar->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(w->StatusBar->findChild<QLabel*>()->text(), "Ready");

    EXPECT_FALSE(w->mnuKVQIdentificationFilter->isEnabled());
    EXPECT_EQ(w->mnuKVQIdentificationFilter->title(), "KVQ &Identification Filter ");
    EXPECT_FALSE(w->mnuKVQIdentificationTime->isEnabled());
    EXPECT_EQ(w->IdentificationFilterChecks(), FieldBit(FieldNumberMACAddress));
    int offered = 0;
    for (QAction* item : w->FilterItems)
        offered += item->isVisible() ? 1 : 0;
    EXPECT_EQ(offered, 2) << "only \"&IP Address\" and \"MA&C Address\" are offered";
    const auto times = w->mnuKVQIdentificationTime->actions();
    ASSERT_EQ(times.size(), 5);
    EXPECT_EQ(times[0]->text(), " 5 Seconds");
    EXPECT_TRUE(times[0]->isChecked());
    EXPECT_FALSE(times[4]->isChecked());
    EXPECT_EQ(w->mnuFileExit->text(), "E&xit");

    const auto toolbar = w->Toolbar->actions();
    ASSERT_EQ(toolbar.size(), 4);
    EXPECT_EQ(toolbar[1]->toolTip(), "Refresh the lost of online KVQ units.");
    EXPECT_EQ(toolbar[2]->objectName(), "sprRefreshIdentify");
    EXPECT_EQ(toolbar[3]->toolTip(), "Identify selected KVQ units.");
    EXPECT_EQ(w->LocalAddresses, (std::vector<std::string>{"192.168.7.5", "10.0.0.5"}));
}

TEST(MainWindowStartUp, CaptionFollowsModeAndSocketState) {
    struct Case {
        bool internal;
        int state;
        const char* caption;
    };
    for (const Case& c : {Case{false, 1, "Lumivar Network Tarnwick - Open"},
                          Case{false, 0, "Lumivar Network Tarnwick - Closed"},
                          Case{true, 1, "Lumivar Network Tarnwick - Internal Version - Open"},
                          Case{true, 9, "Lumivar Network Tarnwick - Internal Version - Error"},
                          Case{false, 4, "Lumivar Network Tarnwick - Resolving host"},
                          Case{false, 12, "Lumivar Network Tarnwick - "}}) {
        WindowUnderTest w(c.internal);
        w.socketState = c.state;
        w->TimerOpenTick();
        EXPECT_EQ(w->windowTitle().toStdString(), c.caption);
    }
}

TEST(IdentificationCycle, TicksWithoutUnitsSendNothing) {
    WindowUnderTest w;
    w.TakeSent();
    for (int tick = 0; tick < 10; ++tick)
        w->TimerOpenTick();
    EXPECT_TRUE(w.sent.empty());
    EXPECT_EQ(w->IdentifyElapsedMs, 5000);
}

TEST(IdentificationCycle, FirstUnitIsSelectedOnceAndKeptIdentifying) {
    WindowUnderTest w;
    w.AddUnits(2);
    w.TakeSent();
    w->TimerOpenTick();
    EXPECT_EQ(w->CellEditor().SelectedUnitIndex, 1);
    EXPECT_EQ(w->CellEditor().CurrentFieldNumber, 1);
    EXPECT_TRUE(w->AutoSelectDone);
    EXPECT_EQ(w->ListViewUnitsOnline->selectionModel()->selectedRows().value(0).row(), 0);
    w->TimerOpenTick();
    EXPECT_EQ(w.TakeSent(), (std::vector<std::string>{SelectFor(w.Mac(1)), SelectFor(w.Mac(1))}));

    // The user leaves no unit selected: no second automatic selection.
    w->CellEditor().SelectedUnitIndex = -1;
    w->TimerOpenTick();
    EXPECT_TRUE(w.TakeSent().empty());
}

TEST(IdentificationCycle, TheSixtyFirstTickSendsIdentificationInsteadOfSelect) {
    WindowUnderTest w;
    w.AddUnits(1);
    w.TakeSent();
    for (int tick = 1; tick <= 60; ++tick)
        w->TimerOpenTick();
    EXPECT_EQ(w.TakeSent().size(), 60u);
    EXPECT_EQ(w->IdentifyElapsedMs, 30000);
    w->TimerOpenTick();
    EXPECT_EQ(w.TakeSent(), std::vector<std::string>{IdentificationRequest()});
    EXPECT_EQ(w->IdentifyElapsedMs, 0);
    w->TimerOpenTick();
    EXPECT_EQ(w.TakeSent(), std::vector<std::string>{SelectFor(w.Mac(1))});
}

TEST(IdentificationCycle, RefreshClearsTheListAndKeepsTheRest) {
    WindowUnderTest w;
    w.AddUnits(3);
    for (int tick = 0; tick < 4; ++tick)
        w->TimerOpenTick();
    w->CellEditor().SelectedUnitIndex = 2;
    w.TakeSent();
    w->ToolbarButtonClick("Refresh");
    EXPECT_EQ(w.TakeSent(), std::vector<std::string>{IdentificationRequest()});
    EXPECT_EQ(w->UnitCount(), 0);
    EXPECT_EQ(w->ListViewUnitsOnline->model()->rowCount(), 0);
    EXPECT_EQ(w->IdentifyElapsedMs, 2000);
    EXPECT_EQ(w->CellEditor().SelectedUnitIndex, 2);

    w->TimerOpenTick();
    EXPECT_TRUE(w.TakeSent().empty()) << "no units listed: no select request";
    w.AddUnits(2);
    w->TimerOpenTick();
    EXPECT_EQ(w.TakeSent(), std::vector<std::string>{SelectFor(w.Mac(2))});

    w->ToolbarButtonClick("Identify");
    EXPECT_TRUE(w.TakeSent().empty());
}

TEST(UnitRequests, SelectRequestBytesForRowThree) {
    WindowUnderTest w;
    w.AddUnits(3);
    w.TakeSent();
    w->CellEditor().SelectedUnitIndex = 3;
    w->CellEditor().SendMSGSelectUnit();
    const std::string expected = "QZUDP001" + std::string("\x41\0\0\0\0\0\0\0\0", 9) +
                                 std::string("\x28\0\x11\x06\x01\x23\0", 7) +
                                 std::string("001\0"
                                             "0410000000"
                                             "0D:00:00:00:00:00:03\0",
                                             35);
    EXPECT_EQ(w.TakeSent(), std::vector<std::string>{expected});
}

TEST(UnitRequests, FilterItemsToggleAndShapeTheRequest) {
    WindowUnderTest w;
    w.AddUnits(1);
    w.TakeSent();
    QAction* mac = w->FilterItems[7];
    QAction* host = w->FilterItems[8];
    mac->trigger();
    EXPECT_FALSE(mac->isChecked()) << "MA&C Address starts checked";
    w->CellEditor().SelectedUnitIndex = 1;
    w->CellEditor().SendMSGSelectUnit();
    EXPECT_EQ(w.TakeSent(),
              std::vector<std::string>{*BuildRequest(FunctionCodeSelectUnit, MessageClass6,
                                                     std::string("001\0"
                                                                 "0400000000",
                                                                 14))});
    mac->trigger();
    host->trigger();
    host->trigger();
    EXPECT_EQ(w->IdentificationFilterChecks(), FieldBit(FieldNumberMACAddress));
    w->FilterItems[4]->trigger(); // "&Serial Number": field 5, read from the Unit ID column
    w->CellEditor().SendMSGSelectUnit();
    std::string data = BeginDataPart("001", FieldBit(5) | FieldBit(13), 0);
    AppendFieldItem(data, 5, "CAM1");
    AppendFieldItem(data, 13, w.Mac(1));
    EXPECT_EQ(w.TakeSent(),
              std::vector<std::string>{*BuildRequest(FunctionCodeSelectUnit, MessageClass6, data)});
}

TEST(Shutdown, UnselectOnlyWhenAUnitIsSelected) {
    {
        WindowUnderTest w;
        w.AddUnits(2);
        w.TakeSent();
        w->close();
        EXPECT_TRUE(w.TakeSent().empty());
    }
    {
        WindowUnderTest w;
        w.AddUnits(2);
        w->CellEditor().SelectedUnitIndex = 2;
        w.TakeSent();
        w->mnuFileExit->trigger();
        EXPECT_EQ(w.TakeSent(), std::vector<std::string>{UnselectFor(w.Mac(2))});
        EXPECT_FALSE(w->TimerOpen.isActive());
    }
    {
        WindowUnderTest w;
        w.AddUnits(1);
        w->TimerOpenTick();
        w.TakeSent();
        w->ToolbarButtonClick("Exit");
        EXPECT_EQ(w.TakeSent(), std::vector<std::string>{UnselectFor(w.Mac(1))});
    }
}

TEST(ReplyWait, ChangeReplyResetsTheWaitValidOrNot) {
    for (const bool valid : {true, false}) {
        WindowUnderTest w;
        w.AddUnits(1);
        w->StartReplyWait();
        EXPECT_FALSE(w->ListViewUnitsOnline->isEnabled());
        EXPECT_EQ(w->ReplyWaitTicks, 10);
        const std::string reply =
            valid ? ChangeReplyBytes({{"0D", w.Mac(1)}, {"0C", "renamed"}})
                  : ChangeReplyBytes({{"0D", w.Mac(1)}, {"11", "not in a change reply"}});
        w->TakeDatagram(reply, "192.168.7.21");
        EXPECT_EQ(w->ReplyWaitTicks, 0);
        EXPECT_TRUE(w->ListViewUnitsOnline->isEnabled());
        EXPECT_TRUE(w->TimerOpen.isActive());
        EXPECT_EQ(w->Units().CellAt(1, 13).text, valid ? "renamed" : "host-1");
    }
}

TEST(ReplyWait, TenTicksWithoutReplyEnableTheList) {
    WindowUnderTest w;
    w->StartReplyWait();
    for (int tick = 1; tick <= 9; ++tick) {
        w->TimerOpenTick();
        EXPECT_FALSE(w->ListViewUnitsOnline->isEnabled()) << tick;
    }
    w->TimerOpenTick();
    EXPECT_TRUE(w->ListViewUnitsOnline->isEnabled());
    EXPECT_EQ(w->ReplyWaitTicks, 0);
}

TEST(Intake, OwnBroadcastsAreDroppedAndRepliesBecomeRows) {
    WindowUnderTest w;
    w->TakeDatagram(IdentificationReplyBytes({{"0D", "m"}}), "10.0.0.5");
    EXPECT_EQ(w->UnitCount(), 0) << "sender is a local address";
    w->TakeDatagram(IdentificationReplyBytes({{"0D", "m"}, {"0A", "TRUE"}, {"12", "03"}}),
                    "10.0.0.6");
    ASSERT_EQ(w->UnitCount(), 1);
    EXPECT_EQ(w->BackupStatus, 3);
    const QModelIndex first = w->ListViewUnitsOnline->model()->index(0, 0);
    EXPECT_EQ(first.data().toString(), "Use DHCP");
    EXPECT_EQ(first.data(Qt::CheckStateRole).toInt(), Qt::Checked);
}

TEST(Intake, ReportsDoNotStackAndRepliesGoOnWhileOneIsOpen) {
    WindowUnderTest w;
    RawDatagram bad;
    bad.commandBits = 3;
    bad.data = ReplyData({{"0D", "x"}});
    w->TakeDatagram(bad.Bytes(), "192.168.7.30");
    w->TakeDatagram(bad.Bytes(), "192.168.7.30");
    w->TakeDatagram(bad.Bytes(), "192.168.7.30");
    ASSERT_EQ(w.shown.size(), 1u);
    EXPECT_TRUE(w.shown[0].intake);
    EXPECT_EQ(w.shown[0].report.title, "Unknown Command Bits");
    EXPECT_EQ(w.shown[0].report.text, "3");
    EXPECT_EQ(w->SuppressedIntakeReports(), 2);
    w.AddUnits(1);
    EXPECT_EQ(w->UnitCount(), 1) << "replies still reach the list";
    w->IntakeBoxClosed();
    w->TakeDatagram(bad.Bytes(), "192.168.7.30");
    EXPECT_EQ(w.shown.size(), 2u);
}

TEST(Intake, RealBoxesShowWireTextsAsPlainTextWithoutBlocking) {
    WindowSeams seams;
    seams.send = [](const std::string&) -> std::optional<QString> { return std::nullopt; };
    seams.hostIdentity = [] { return HostIdentity{}; };
    frmLumivarNetTarnwick window(false, seams);
    RawDatagram version;
    version.data = ReplyData({{"0D", "x"}}, "<b>2");
    window.TakeDatagram(version.Bytes(), "192.168.7.40"); // returns: the box does not block
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->textFormat(), Qt::PlainText);
    EXPECT_EQ(boxes[0]->text(), "Unknown version number <<b>2> from 192.168.7.40");
    EXPECT_EQ(boxes[0]->windowTitle(), "Version Number - Error");
    boxes[0]->accept();
    QCoreApplication::processEvents();
    window.TakeDatagram(version.Bytes(), "192.168.7.40");
    EXPECT_EQ(window.SuppressedIntakeReports(), 0) << "closing the box lets the next one show";
}

TEST(Transport, AFailedSendIsReportedOnceUntilOneSucceeds) {
    WindowUnderTest w;
    w.sendError = QString("Binding UDP port 10021 failed: Address in use");
    w->ToolbarButtonClick("Refresh");
    w->ToolbarButtonClick("Refresh");
    ASSERT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.shown[0].report.icon, MessageIcon::Critical);
    EXPECT_EQ(w.shown[0].report.text, "Binding UDP port 10021 failed: Address in use");
    w.sendError.reset();
    w->ToolbarButtonClick("Refresh");
    w.sendError = QString("Sending failed");
    w->ToolbarButtonClick("Refresh");
    EXPECT_EQ(w.shown.size(), 2u);
}

TEST(AboutBox, TextsInBothModes) {
    EXPECT_EQ(AboutText(false), "Lumivar Delft, The Netherlands\r\nTarnwick\r\nVersion: v01.05");
    EXPECT_EQ(AboutText(true),
              "Lumivar Delft, The Netherlands\r\nTarnwick - Internal Version\r\nVersion: v01.05");
    WindowUnderTest w(true);
    w->mnuAboutKVQChangeSettingsApplication->trigger();
    ASSERT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.shown[0].report.text, AboutText(true));
    EXPECT_EQ(w.shown[0].report.icon, MessageIcon::Information);
    EXPECT_FALSE(w.shown[0].intake);
}

TEST(UnitTableModel, RepliesNeverLookLikeAUsersClick) {
    UnitTable table;
    UnitTableModel model(table);
    int clicks = 0;
    QObject::connect(&model, &UnitTableModel::CheckBoxToggled, [&](int) { ++clicks; });
    table.AppendRow("001");
    table.SetChecked(1, true);
    table.SetColour(1, 9, ColourRed);
    table.SetBold(1, 9, true);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(model.index(0, 8).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_TRUE(model.index(0, 8).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model.index(0, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(table.Row(1).checked);
    // Bytes above 127 are Latin-1 characters.
    table.SetText(1, 13, "h\xe9te");
    EXPECT_EQ(model.index(0, 12).data().toString(), QString::fromUtf8("h\xc3\xa9te"));
}

} // namespace
} // namespace tarnwick::test
