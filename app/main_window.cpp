#include "app/main_window.h"

#include "app/about_box.h"
#include "app/pending_edit_delegate.h"
#include "app/toolbar_icons.h"
#include "app/unit_table_model.h"
#include "editing/mod_sub_class.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "protocol/list_columns.h"
#include "protocol/reply_intake.h"
#include "protocol/udp_transport.h"
#include "protocol/unit_list_update.h"
#include "requests/unit_request_builder.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>

namespace tarnwick {
namespace {

constexpr int TimerOpenIntervalMs = 500;
constexpr int IdentificationPeriodMs = 30000;
constexpr int ChangeReplyWaitTicks = 10;
// Intake hands the loop back after this long, so repaints and clicks go on during a sweep.
constexpr int IntakeSliceMs = 8;
constexpr int IntakeBatch = 32;

constexpr char CaptionNormal[] = "Lumivar Network Tarnwick";
constexpr char CaptionInternal[] = "Lumivar Network Tarnwick - Internal Version";
constexpr std::array<const char*, 10> SocketStateTexts = {
    "Closed",        "Open",       "Listening", "Connection pending",      "Resolving host",
    "Host resolved", "Connecting", "Connected", "Server is disconnecting", "Error"};

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

frmLumivarNetTarnwick::frmLumivarNetTarnwick(bool internalMode, WindowSeams seams)
    : InternalMode(internalMode), seams_(std::move(seams)) {
    setObjectName("frmLumivarNetTarnwick");
    setWindowIcon(TarnwickWindowIcon());
    CreateControls();
    CreateMenus();
    StartUp();
}

frmLumivarNetTarnwick::~frmLumivarNetTarnwick() {
    TimerOpen.stop();
    // The editor lets go of the list before the list goes.
    fieldEdit_.reset();
    modSubClass::ReleaseHookRegistry();
    // The view goes first: it must not ask a model that is gone.
    delete ListViewUnitsOnline;
    ListViewUnitsOnline = nullptr;
}

void frmLumivarNetTarnwick::CreateControls() {
    Form = new QWidget(this);
    setCentralWidget(Form);
    Form->installEventFilter(this);
    // The design sizes were made for this face and size.
    QFont formFont;
    formFont.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans",
                          "Nimbus Sans", "Helvetica"});
    formFont.setPointSizeF(8.25);
    formFont.setWeight(QFont::Normal);
    Form->setFont(formFont);

    CreateToolbar();

    CheckBoxIdntificationMode = new QCheckBox(tr("Auto Identification"), Form);
    CheckBoxIdntificationMode->setObjectName("CheckBoxIdntificationMode");
    CheckBoxIdntificationMode->setEnabled(false);

    model_ = std::make_unique<UnitTableModel>(units_);
    ListViewUnitsOnline = new QTreeView(Form);
    ListViewUnitsOnline->setObjectName("ListViewUnitsOnline");
    ListViewUnitsOnline->setFont(formFont);
    model_->SetFont(formFont);
    ListViewUnitsOnline->setModel(model_.get());
    ListViewUnitsOnline->setRootIsDecorated(false);
    ListViewUnitsOnline->setUniformRowHeights(true);
    ListViewUnitsOnline->setItemsExpandable(false);
    ListViewUnitsOnline->setAllColumnsShowFocus(true);
    ListViewUnitsOnline->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListViewUnitsOnline->setSelectionMode(QAbstractItemView::SingleSelection);
    ListViewUnitsOnline->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListViewUnitsOnline->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListViewUnitsOnline->header()->setStretchLastSection(false);
    ListViewUnitsOnline->header()->setSectionsMovable(false);
    ListViewUnitsOnline->header()->setDefaultSectionSize(100);
    ListViewUnitsOnline->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // A light selection with black text, so red pending edits stay visible in the selected row.
    ListViewUnitsOnline->setItemDelegate(new PendingEditDelegate(ListViewUnitsOnline));
    QPalette listPalette = ListViewUnitsOnline->palette();
    listPalette.setColor(QPalette::Highlight, QColor(204, 228, 247));
    listPalette.setColor(QPalette::HighlightedText, Qt::black);
    ListViewUnitsOnline->setPalette(listPalette);

    connect(model_.get(), &UnitTableModel::CheckBoxToggled, this,
            &frmLumivarNetTarnwick::RowCheckBoxChanged);

    buttonApply = new QPushButton(tr("Apply"), Form);
    buttonApply->setObjectName("buttonApply");
    buttonApply->setEnabled(false);
    connect(buttonApply, &QPushButton::clicked, this, &frmLumivarNetTarnwick::Apply);
    buttonCancelAll = new QPushButton(tr("Cancel All"), Form);
    buttonCancelAll->setObjectName("buttonCancelAll");
    buttonCancelAll->setEnabled(false);
    connect(buttonCancelAll, &QPushButton::clicked, this, &frmLumivarNetTarnwick::CancelAll);
    setTabOrder(buttonApply, buttonCancelAll);

    StatusBar = new QStatusBar(Form);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(false);
    StatusBar->addWidget(new QLabel(tr("Ready"), StatusBar), 1);

    TimerOpen.setInterval(TimerOpenIntervalMs);
    connect(&TimerOpen, &QTimer::timeout, this, &frmLumivarNetTarnwick::TimerOpenTick);
}

void frmLumivarNetTarnwick::CreateToolbar() {
    Toolbar = new QToolBar(Form);
    Toolbar->setObjectName("Toolbar");
    Toolbar->setMovable(false);
    Toolbar->setFloatable(false);
    Toolbar->setIconSize(QSize(16, 16));
    Toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button {
        const char* key;
        const char* caption;
        const char* toolTip;
        QIcon icon;
    };
    const Button buttons[] = {
        {"Exit", "Exit", "Exit", ExitIcon()},
        {"Refresh", "Refresh", "Refresh the lost of online KVQ units.", RefreshIcon()},
        {"Identify", "Identify", "Identify selected KVQ units.", ExplorerIcon()},
    };
    for (const Button& button : buttons) {
        if (QString(button.key) == "Identify")
            Toolbar->addSeparator()->setObjectName("sprRefreshIdentify");
        QAction* action = Toolbar->addAction(button.icon, tr(button.caption));
        action->setObjectName(button.key);
        action->setToolTip(tr(button.toolTip));
        const QString key = button.key;
        connect(action, &QAction::triggered, this, [this, key] { ToolbarButtonClick(key); });
        if (key == "Refresh")
            action->setShortcut(QKeySequence::Refresh);
    }
}

void frmLumivarNetTarnwick::CreateMenus() {
    QMenu* mnuFile = menuBar()->addMenu(tr("&File"));
    mnuFile->setObjectName("mnuFile");
    mnuFileExit = mnuFile->addAction(tr("E&xit"));
    mnuFileExit->setObjectName("mnuFileExit");
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);

    // The two KVQ menus cannot be opened: shown grayed.
    mnuKVQIdentificationFilter = menuBar()->addMenu(tr("KVQ &Identification Filter "));
    mnuKVQIdentificationFilter->setObjectName("mnuKVQIdentificationFilter");
    for (std::size_t i = 0; i < IdentificationFilterMenu.size(); ++i) {
        const FilterMenuItem& item = IdentificationFilterMenu[i];
        QAction* action = mnuKVQIdentificationFilter->addAction(tr(item.caption));
        action->setObjectName(item.name);
        action->setCheckable(true);
        action->setChecked(item.checkedAtStart);
        action->setVisible(item.offered);
        FilterItems[i] = action;
    }
    mnuKVQIdentificationFilter->setEnabled(false);

    mnuKVQIdentificationTime = menuBar()->addMenu(tr("KVQ Identification &Time"));
    mnuKVQIdentificationTime->setObjectName("mnuKVQIdentificationTime");
    const std::pair<const char*, const char*> times[] = {{"mnu5Seconds", " 5 Seconds"},
                                                         {"mnu10Seconds", "10 Seconds"},
                                                         {"mnu20Seconds", "20 Seconds"},
                                                         {"mnu30Seconds", "30 Seconds"},
                                                         {"mnuInfiniteTime", "Infinite Time"}};
    for (const auto& [name, caption] : times) {
        QAction* action = mnuKVQIdentificationTime->addAction(tr(caption));
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(std::string_view(name) == "mnu5Seconds");
    }
    mnuKVQIdentificationTime->setEnabled(false);

    QMenu* mnuHelp = menuBar()->addMenu(tr("&Help"));
    mnuHelp->setObjectName("mnuHelp");
    mnuAboutKVQChangeSettingsApplication = mnuHelp->addAction(tr("&About Tarnwick Application"));
    mnuAboutKVQChangeSettingsApplication->setObjectName("mnuAboutKVQChangeSettingsApplication");
    connect(mnuAboutKVQChangeSettingsApplication, &QAction::triggered, this,
            &frmLumivarNetTarnwick::ShowAboutBox);
}

void frmLumivarNetTarnwick::StartUp() {
    setWindowTitle(BaseCaption());

    // The form opens at its design size; the layout's references come from it.
    const QRect form = ToPixels({0, 0, design::FormWidth, design::FormHeight});
    resize(form.width(), form.height() + menuBar()->sizeHint().height());
    Form->resize(form.size());
    layout_ = InitialLayout(design::FormHeight, design::FormWidth);
    ApplyLayout();

    const HostIdentity identity = seams_.hostIdentity ? seams_.hostIdentity() : LocalHostIdentity();
    LocalHostName = identity.name;
    LocalAddresses = identity.addresses;

    PendingChangeCount = 0;
    units_.Clear();
    AutoSelectDone = false;

    modSubClass::CreateHookRegistry();
    fieldEdit_ = std::make_unique<FieldEdit>(*this, units_);
    fieldEdit_->Init(Form, ListViewUnitsOnline);

    if (!seams_.send) {
        SckUDP = std::make_unique<UdpTransport>();
        connect(SckUDP.get(), &UdpTransport::readyRead, this, &frmLumivarNetTarnwick::ReadSocket);
    }
    SendABroadcastMessage(IdentificationRequest());

    IdentifyElapsedMs = 0;
    TimerOpen.start();
}

QString frmLumivarNetTarnwick::BaseCaption() const {
    return InternalMode ? CaptionInternal : CaptionNormal;
}

void frmLumivarNetTarnwick::SendABroadcastMessage(const std::string& message) {
    const std::optional<QString> error = seams_.send ? seams_.send(message) : SckUDP->Send(message);
    if (!error) {
        transportErrorShown_ = false;
        return;
    }
    // Once per run of failures; the next send tries again.
    if (transportErrorShown_)
        return;
    transportErrorShown_ = true;
    ShowBox({MessageIcon::Critical, "Network Error", error->toStdString()}, true);
}

void frmLumivarNetTarnwick::ReadSocket() {
    // Intake never re-enters itself, even if a handler below runs the event loop.
    if (reading_ || !SckUDP)
        return;
    reading_ = true;
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    const auto take = [this](std::string_view bytes, std::string_view sender) {
        TakeDatagram(bytes, sender);
    };
    while (more && slice.elapsed() < IntakeSliceMs)
        more = SckUDP->ReadSome(take, IntakeBatch);
    reading_ = false;
    // Datagrams are left: hand the loop back for a moment and come back for them.
    if (more && !readQueued_) {
        readQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            readQueued_ = false;
            ReadSocket();
        });
    }
}

void frmLumivarNetTarnwick::TakeDatagram(std::string_view bytes, std::string_view sender) {
    IntakeOutcome outcome = tarnwick::TakeDatagram(bytes, sender, LocalAddresses);
    if (auto* report = std::get_if<MessageReport>(&outcome)) {
        ShowIntakeReport(*report);
    } else if (auto* id = std::get_if<IdentificationReply>(&outcome)) {
        if (id->backupStatus)
            BackupStatus = *id->backupStatus;
        ApplyIdentificationReply(units_, id->fields, id->versionText);
    } else if (auto* change = std::get_if<ChangeReply>(&outcome)) {
        TimerOpen.stop();
        if (change->valid)
            ApplyChangeReply(units_, change->fields);
        ReplyWaitTicks = 0;
        ListViewUnitsOnline->setEnabled(true);
        TimerOpen.start();
    }
}

void frmLumivarNetTarnwick::ShowIntakeReport(const MessageReport& report) {
    // A flood of bad datagrams must not stack boxes: one at a time, the rest counted.
    if (intakeBoxOpen_) {
        ++suppressedIntakeReports_;
        return;
    }
    intakeBoxOpen_ = true;
    ShowBox(report, true);
}

void frmLumivarNetTarnwick::IntakeBoxClosed() {
    intakeBoxOpen_ = false;
}

void frmLumivarNetTarnwick::ShowMessage(const MessageReport& report) {
    ShowBox(report, false);
}

void frmLumivarNetTarnwick::ShowBox(const MessageReport& report, bool intake) {
    if (seams_.show) {
        seams_.show(report, intake);
        return;
    }
    auto* box = new QMessageBox(BoxIcon(report.icon), Latin1(report.title), Latin1(report.text),
                                QMessageBox::Ok, this);
    // Texts from the wire are never markup.
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (intake) {
        // Not exec(): reading goes on while the box is open.
        connect(box, &QMessageBox::finished, this, &frmLumivarNetTarnwick::IntakeBoxClosed);
        box->open();
    } else {
        box->exec();
    }
}

void frmLumivarNetTarnwick::ShowAboutBox() {
    QString text = QString::fromStdString(AboutText(InternalMode));
    if (seams_.show) {
        seams_.show({MessageIcon::Information, ApplicationTitle, text.toStdString()}, false);
        return;
    }
    text.replace("\r\n", "\n");
    QMessageBox box(QMessageBox::Information, ApplicationTitle, text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void frmLumivarNetTarnwick::TimerOpenTick() {
    if (!fieldEdit_)
        return; // the window has closed
    const int state = seams_.socketState ? seams_.socketState() : SckUDP->StateValue();
    QString caption = BaseCaption() + " - ";
    if (state >= 0 && state < static_cast<int>(SocketStateTexts.size()))
        caption += SocketStateTexts[static_cast<std::size_t>(state)];
    if (windowTitle() != caption)
        setWindowTitle(caption);

    if (ReplyWaitTicks != 0 && --ReplyWaitTicks == 0)
        ListViewUnitsOnline->setEnabled(true);

    IdentifyElapsedMs += TimerOpen.interval();
    if (IdentifyElapsedMs > IdentificationPeriodMs) {
        SendABroadcastMessage(IdentificationRequest());
        IdentifyElapsedMs = 0;
        return;
    }

    if (UnitCount() <= 0)
        return;
    FieldEdit& editor = *fieldEdit_;
    if (editor.SelectedUnitIndex == -1 && !AutoSelectDone) {
        editor.CurrentFieldNumber = 1;
        editor.SelectedUnitIndex = 1;
        AutoSelectDone = true;
        HighlightRow(1);
    }
    if (editor.SelectedUnitIndex != -1)
        editor.SendMSGSelectUnit();
}

void frmLumivarNetTarnwick::ToolbarButtonClick(const QString& key) {
    if (key == "Exit") {
        close();
    } else if (key == "Refresh") {
        units_.Clear();
        SendABroadcastMessage(IdentificationRequest());
    }
    // "Identify" does nothing.
}

std::uint16_t frmLumivarNetTarnwick::IdentificationFilterChecks() const {
    std::uint16_t bits = 0;
    for (std::size_t i = 0; i < FilterItems.size(); ++i)
        if (FilterItems[i]->isChecked())
            bits |= FieldBit(IdentificationFilterMenu[i].field);
    return bits;
}

void frmLumivarNetTarnwick::StartReplyWait() {
    ListViewUnitsOnline->setEnabled(false);
    ReplyWaitTicks = ChangeReplyWaitTicks;
}

void frmLumivarNetTarnwick::HighlightRow(int row) {
    if (!units_.HasRow(row))
        return;
    // Selects without moving the current index, so the list does not scroll to column 1.
    ListViewUnitsOnline->selectionModel()->select(
        model_->index(row - 1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void frmLumivarNetTarnwick::ClearHighlight() {
    ListViewUnitsOnline->selectionModel()->clear();
}

void frmLumivarNetTarnwick::CountPendingChange() {
    ++PendingChangeCount;
    if (PendingChangeCount > 0) {
        buttonApply->setEnabled(true);
        buttonCancelAll->setEnabled(true);
    }
}

void frmLumivarNetTarnwick::RowCheckBoxChanged(int row) {
    if (!fieldEdit_)
        return;
    FieldEdit& editor = *fieldEdit_;
    if (editor.SelectedUnitIndex != -1)
        editor.SendMSGUnselectUnit();
    if (editor.SelectedUnitIndex != row) {
        HighlightRow(row);
        editor.SelectedUnitIndex = row;
        editor.SendMSGSelectUnit();
    }
    const int marked = editor.SelectedUnitIndex;
    if (units_.HasRow(marked)) {
        const bool red =
            units_.CellAt(marked, ListViewFieldNumberUseDHCPColumn).colour == ColourRed;
        units_.SetColour(marked, ListViewFieldNumberUseDHCPColumn, red ? ColourBlack : ColourRed);
        units_.SetBold(marked, ListViewFieldNumberUseDHCPColumn, !red);
    }
    CountPendingChange();
}

void frmLumivarNetTarnwick::Apply() {
    // Apply yields between units: a second press meanwhile is ignored.
    if (applying_ || !fieldEdit_)
        return;
    applying_ = true;
    FieldEdit& editor = *fieldEdit_;
    const int selectedBefore = editor.SelectedUnitIndex;
    const int rows = UnitCount();
    for (int row = 1; row <= rows; ++row) {
        // A Refresh meanwhile may have emptied the list: rows that are gone are skipped.
        if (!units_.HasRow(row))
            continue;
        if (editor.SelectedUnitIndex != -1) {
            editor.SendMSGUnselectUnit();
            ClearHighlight();
        }
        editor.SelectedUnitIndex = row;
        HighlightRow(row);
        editor.SendMSGSelectUnit();
        editor.SendChanges(row);
        QCoreApplication::processEvents();
    }
    editor.SendMSGUnselectUnit();
    ClearHighlight();
    editor.SelectedUnitIndex = selectedBefore;
    if (selectedBefore != -1) {
        HighlightRow(selectedBefore);
        editor.SendMSGSelectUnit();
    }
    PendingChangeCount = 0;
    buttonApply->setEnabled(false);
    buttonCancelAll->setEnabled(false);
    applying_ = false;
}

void frmLumivarNetTarnwick::CancelAll() {
    if (fieldEdit_)
        fieldEdit_->HideEditBox();
    for (int row = 1; row <= UnitCount(); ++row) {
        const UnitRow& unit = units_.Row(row);
        units_.BeginRowUpdate(row);
        for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
            if (units_.CellAt(row, column).colour == ColourBlack)
                continue;
            if (column == ListViewFieldNumberUseDHCPColumn)
                units_.SetChecked(row, unit.reportedChecked);
            else
                units_.SetText(row, column,
                               unit.reportedText[static_cast<std::size_t>(column - 1)]);
            units_.SetColour(row, column, ColourBlack);
            units_.SetBold(row, column, false);
        }
        units_.EndRowUpdate();
    }
    PendingChangeCount = 0;
    buttonApply->setEnabled(false);
    buttonCancelAll->setEnabled(false);
}

void frmLumivarNetTarnwick::closeEvent(QCloseEvent* event) {
    if (fieldEdit_ && fieldEdit_->SelectedUnitIndex != -1)
        fieldEdit_->SendMSGUnselectUnit();
    TimerOpen.stop();
    modSubClass::ReleaseHookRegistry();
    fieldEdit_.reset();
    event->accept();
}

float frmLumivarNetTarnwick::FormHeightTwips() const {
    return static_cast<float>(Form->height()) * TwipsPerInch /
           static_cast<float>(Form->logicalDpiY());
}

float frmLumivarNetTarnwick::FormWidthTwips() const {
    return static_cast<float>(Form->width()) * TwipsPerInch /
           static_cast<float>(Form->logicalDpiX());
}

QRect frmLumivarNetTarnwick::ToPixels(const TwipsRect& r) const {
    const float x = static_cast<float>(logicalDpiX()) / TwipsPerInch;
    const float y = static_cast<float>(logicalDpiY()) / TwipsPerInch;
    return QRect(qRound(r.left * x), qRound(r.top * y), qRound(r.width * x), qRound(r.height * y));
}

void frmLumivarNetTarnwick::ApplyLayout() {
    const int width = Form->width();
    const QRect toolbar = ToPixels(design::Toolbar);
    Toolbar->setGeometry(0, 0, width, toolbar.height());
    CheckBoxIdntificationMode->setGeometry(ToPixels(design::CheckBoxIdntificationMode));
    const QRect status = ToPixels(design::StatusBar);
    StatusBar->setGeometry(0, Form->height() - status.height(), width, status.height());
    buttonApply->setGeometry(ToPixels(layout_.buttonApply));
    buttonCancelAll->setGeometry(ToPixels(layout_.buttonCancelAll));
    ListViewUnitsOnline->setGeometry(ToPixels(layout_.list));
    ListViewUnitsOnline->setVisible(layout_.listVisible);
}

void frmLumivarNetTarnwick::FormResized() {
    fieldEdit_->HideEditBox();
    ResizeLayout(layout_, FormHeightTwips(), FormWidthTwips());
    ApplyLayout();
}

bool frmLumivarNetTarnwick::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Form && event->type() == QEvent::Resize && fieldEdit_)
        FormResized();
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tarnwick
