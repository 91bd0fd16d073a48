// The window as a view of the session, offscreen: what only the widgets can show.
#include "app/dialogs/site_files.h"
#include "app/list/pending_edit_delegate.h"
#include "app/list/readable_colour.h"
#include "app/window/command_line.h"
#include "runtime/plan_file.h"
#include "tests/app/window_test_support.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QToolButton>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace tarnwick::test {
namespace {

void Tick(QTreeView* list, int row, bool on) {
    QAbstractItemModel* model = list->model();
    model->setData(model->index(row - 1, 0), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

TEST(MainWindow, ControlsFollowTheSession) {
    WindowUnderTest w;
    // Qt's own checks of a model, on every change the list goes through below.
    const QAbstractItemModelTester tester(w.List()->model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(w.Sent(), "identify");
    EXPECT_EQ(w->windowTitle(), "Lumivar Network Tarnwick");
    EXPECT_EQ(w.List()->accessibleName(), "Units online");
    // Qt leaves the find field's clear button unnamed.
    const auto clear = w.Find<QLineEdit>("txtFind")->findChildren<QToolButton*>();
    ASSERT_FALSE(clear.isEmpty());
    for (const QToolButton* button : clear)
        EXPECT_EQ(button->accessibleName(), "Clear");
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
    EXPECT_EQ(w.State().IdentificationFilterChecks(),
              FieldBit(FieldNumberMACAddress) | FieldBit(FieldNumberHostName));
    w.Session()->TimerOpenTick(w.link->State());
    EXPECT_EQ(w->windowTitle(), "Lumivar Network Tarnwick - Open");
    w.Session()->Refresh();
    w.AddUnits(3);
    EXPECT_EQ(w.List()->model()->rowCount(), 3);
}

TEST(MainWindow, ApplyYieldsToTheLoopAndClosingMeanwhileIsSafe) {
    WindowUnderTest w;
    w.AddUnits(3);
    Tick(w.List(), 1, true);
    Tick(w.List(), 3, true);
    w.Sent();
    w.Button("buttonApply")->click();
    EXPECT_TRUE(w.State().Applying()) << "one row per turn of the event loop";
    // Exit while Apply waits for its next turn: one unselect, then nothing more.
    QTimer::singleShot(0, w.window.get(), [&] { w->close(); });
    QTest::qWait(50);
    EXPECT_EQ(w.Sent(), "unselect 3, select 1, changes 1, unselect 1, select 2, unselect 2");
    w.window.reset(); // destroyed with the walk stopped: nothing runs on a dead session
    QTest::qWait(20);
}

TEST(MainWindow, BoxesShowWireTextsAsPlainLatin1AndErrorsAsUtf8AndDieWithTheWindow) {
    WindowUnderTest w;
    RawDatagram version;
    version.data = ReplyData({{"0D", "x"}}, "<b>\xe9");
    w.link->Deliver(version.Bytes(), "192.168.7.40"); // returns: the box does not block
    w.link->sendError = "Binding UDP port 10021 failed: Adresse d\xc3\xa9j\xc3\xa0 utilis\xc3\xa9"
                        "e";
    w.Session()->Refresh();
    w.AddUnits(1);
    EXPECT_EQ(w.State().UnitCount(), 1) << "replies go on while a box is open";
    const auto boxes = w->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 2);
    for (QMessageBox* box : boxes) {
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        if (box->windowTitle() == "Version Number - Error")
            EXPECT_EQ(box->text(), QString::fromUtf8("Unknown version number <<b>\xc3\xa9> from "
                                                     "192.168.7.40"));
        else
            EXPECT_EQ(box->text(), QString::fromStdString(*w.link->sendError));
    }
    // Closing the network box leaves the intake box's claim alone: no second intake box.
    for (QMessageBox* box : boxes)
        if (box->windowTitle() == "Network Error")
            box->accept();
    QTest::qWait(20);
    w.link->Deliver(version.Bytes(), "192.168.7.40");
    EXPECT_EQ(w->findChildren<QMessageBox*>().size(), 1);
    w.window.reset(); // an open box reports its closing to a session that is still there
    QTest::qWait(20);
}

TEST(CommandLine, OnlyTheOneArgumentInternalStartsTheInternalVariant) {
    EXPECT_TRUE(IsInternalMode({"tarnwick", "Internal"}));
    for (const QStringList& other : {QStringList{"tarnwick"}, QStringList{"tarnwick", "internal"},
                                     QStringList{"tarnwick", "Internal", "Internal"}})
        EXPECT_FALSE(IsInternalMode(other)) << other.join(' ').toStdString();
    // Qt's own options start the console; only --help and --version answer.
    EXPECT_FALSE(CommandLineAnswer({"tarnwick", "-stylesheet", "dark.qss"}));
    EXPECT_TRUE(CommandLineAnswer({"tarnwick", "-h"}) &&
                CommandLineAnswer({"tarnwick", "--version"}));
}

// A right click acts on its row's unit: copy its address, discard its edits.
TEST(MainWindow, ARowsContextMenuActsOnItsUnit) {
    WindowUnderTest w;
    w.Show();
    w.AddUnits(3);
    ASSERT_TRUE(w.Session()->StartEdit(2, true, ColumnHostName));
    ASSERT_EQ(w.Session()->SetText("lobby"), CommitResult::Accepted);
    auto menuItem = [&](int row, const QString& text) -> QAction* {
        emit w.List()->customContextMenuRequested(
            w.CellRect(row, ColumnVendorManufacturer).center());
        for (QMenu* menu : w->findChildren<QMenu*>("RowContextMenu"))
            for (QAction* action : menu->actions())
                if (menu->isVisible() && action->text() == text)
                    return action;
        return nullptr;
    };
    QAction* copy = menuItem(2, "Copy MAC Address");
    ASSERT_TRUE(copy);
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), SampleMac(2));
    QAction* discard = menuItem(2, "Discard Changes");
    ASSERT_TRUE(discard && discard->isEnabled());
    discard->trigger();
    EXPECT_EQ(w.State().units.CellAt(2, ColumnHostName).text, "kvq-2");
    EXPECT_FALSE(w.Button("buttonApply")->isEnabled());
}

// On a dark scheme the normal look is the scheme's text, red marks and the edit box stay readable.
TEST(MainWindow, ADarkSchemeKeepsEveryTextReadable) {
    struct Delegate : PendingEditDelegate {
        using PendingEditDelegate::initStyleOption;
    };
    const QPalette light = QApplication::palette();
    QPalette dark(QColor(53, 53, 53), QColor(42, 42, 42));
    dark.setColor(QPalette::Text, QColor(224, 224, 224));
    WindowUnderTest w;
    w.Show();
    w.AddUnits(1);
    w.ClickCell(1, ColumnHostName);
    ASSERT_TRUE(w.EditBox()->isVisible());
    // The desktop switches its scheme while the box is open.
    QApplication::setPalette(dark);
    QCoreApplication::processEvents(); // the widgets hear of it through posted events
    EXPECT_EQ(w.EditBox()->palette().color(QPalette::Base), dark.color(QPalette::Base));
    EXPECT_GE(Contrast(w.EditBox()->palette().color(QPalette::Text),
                       w.EditBox()->palette().color(QPalette::Base)),
              4.5);
    ASSERT_EQ(w.Session()->SetText("lobby"), CommitResult::Accepted);
    const QAbstractItemModel* model = w.List()->model();
    EXPECT_FALSE(model->index(0, ColumnVendorManufacturer - 1).data(Qt::ForegroundRole).isValid());
    QStyleOptionViewItem option;
    option.palette = dark;
    Delegate().initStyleOption(&option, model->index(0, ColumnHostName - 1));
    EXPECT_GE(Contrast(option.palette.color(QPalette::Text), dark.color(QPalette::Base)), 3.0);
    QApplication::setPalette(light);
}

// Apply first says what is wrong with the addresses it would set: Cancel (the default, and
// Escape) sends nothing, Apply Anyway sends.
TEST(MainWindow, CheckAddressesStandsBetweenApplyAndTheWire) {
    WindowUnderTest w;
    w.Show();
    w.AddUnits(4);
    for (const int row : {2, 4}) { // units without DHCP
        ASSERT_TRUE(w.Session()->StartEdit(row, true, ColumnSavedIPAddress));
        ASSERT_EQ(w.Session()->SetText("10.1.0.50"), CommitResult::Accepted);
    }
    w.Sent();
    for (const bool anyway : {false, true}) {
        w.Button("buttonApply")->click();
        QMessageBox* box = nullptr;
        for (QMessageBox* open : w->findChildren<QMessageBox*>("CheckAddressesBox"))
            box = open->isVisible() ? open : box;
        ASSERT_TRUE(box);
        EXPECT_EQ(box->windowTitle(), "Check Addresses");
        EXPECT_TRUE(box->text().contains("10.1.0.50")) << box->text().toStdString();
        ASSERT_EQ(box->defaultButton()->text(), "Cancel");
        if (anyway)
            box->buttons().at(0)->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
        // Apply's walk takes a row per turn of the loop.
        const auto sent = [&] { return Labels(w.link->sent).find("changes") != std::string::npos; };
        EXPECT_EQ(QTest::qWaitFor(sent, 500), anyway) << anyway;
        w.Sent();
    }
}

// An export is written whole or not at all: a write that fails half way (here the file size
// limit) leaves the file that was there as it was, and no other.
TEST(SiteFiles, AFailedExportLeavesTheOldFileAndSaysWhy) {
    QTemporaryDir folder;
    const QString path = folder.filePath("list.csv");
    ASSERT_EQ(WriteExport(path, "old\r\n"), std::nullopt);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{16, limit.rlim_max};
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto failed = WriteExport(path, std::string(4096, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, signal);
    ASSERT_TRUE(failed.has_value());
    EXPECT_FALSE(failed->isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "old\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"list.csv"});
}

// The open file dialog of that name (a closed one waits to be deleted).
QFileDialog* OpenDialog(WindowUnderTest& w, const char* name) {
    for (QFileDialog* dialog : w->findChildren<QFileDialog*>(name))
        if (dialog->isVisible())
            return dialog;
    return nullptr;
}

// As the user would: the file named, then Save or Open.
void Choose(QFileDialog* dialog, const QString& path) {
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The save dialog's filter chooses the separator; the file comes back through the import
// dialog as no edit, said at once in the status panel, with its notes in a box.
TEST(SiteFiles, AnExportComesBackThroughTheDialogsAsNoEdit) {
    WindowUnderTest w;
    w.AddUnits(2);
    QTemporaryDir folder;
    for (const auto& [filter, header] :
         {std::pair{SemicolonSeparatedFilter, "\xEF\xBB\xBFUse DHCP;Vendor"},
          std::pair{CommaSeparatedFilter, "\xEF\xBB\xBFUse DHCP,Vendor"}}) {
        w.Find<QAction>("mnuFileExportList")->trigger();
        QFileDialog* dialog = OpenDialog(w, "ExportListDialog");
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->nameFilters(),
                  (QStringList{CommaSeparatedFilter, SemicolonSeparatedFilter}));
        dialog->selectNameFilter(filter);
        const QString path = folder.filePath(QString(filter).section(',', 1, 1).trimmed());
        Choose(dialog, path);
        EXPECT_TRUE(Contents(path).startsWith(header)) << Contents(path).left(40).toStdString();
    }
    QFile plan(folder.filePath("comma separated (*.csv)"));
    ASSERT_TRUE(plan.open(QIODevice::Append));
    // A unit of the plan that is not listed: in the MAC Address column, the 14th.
    plan.write(QByteArray::fromStdString(std::string(13, ',') + SampleMac(9) + "\r\n"));
    plan.close();
    w.Find<QAction>("mnuFileImportPlan")->trigger();
    QFileDialog* dialog = OpenDialog(w, "ImportPlanDialog");
    ASSERT_TRUE(dialog);
    Choose(dialog, plan.fileName());
    EXPECT_EQ(w.Find<QLabel>("StatusPanelResults")->text(),
              "Import Plan: no changes for the listed units");
    EXPECT_EQ(w.Messages(), Texts{"1 unit of the plan is not in the list:\n00:1B:2C:00:00:09"});
}

// 10 MB is 10,000,000 bytes; a file with no size of its own is read no further either.
TEST(SiteFiles, APlanOverTenMegabytesIsRefusedUnread) {
    QTemporaryDir folder;
    const QString path = folder.filePath("big.csv");
    for (const qint64 size : {10'000'000, 10'000'001}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
        file.close();
        const auto read = ReadPlanFile(path);
        if (size == 10'000'000)
            EXPECT_EQ(std::get<QByteArray>(read).size(), size);
        else
            EXPECT_EQ(std::get<QString>(read), path + " is too large to be a plan (over 10 MB).");
    }
    EXPECT_EQ(std::get<QString>(ReadPlanFile("/dev/zero")),
              "/dev/zero is too large to be a plan (over 10 MB).");
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

} // namespace
} // namespace tarnwick::test
