#include "app/main_window.h"

#include "app/about_box.h"
#include "app/field_edit.h"
#include "app/message_box.h"
#include "app/row_context_menu.h"
#include "app/toolbar_icons.h"
#include "app/udp_transport.h"
#include "app/unit_table_model.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>
#include <QTreeView>

namespace tarnwick {

frmLumivarNetTarnwick::frmLumivarNetTarnwick(bool internalMode, std::unique_ptr<DatagramLink> link)
    : session_(*this, internalMode),
      controls_(CreateControls(*this, [this](const QString& key) { ToolbarButtonClick(key); })),
      SckUDP(link ? std::move(link) : std::make_unique<UdpTransport>()) {
    setObjectName("frmLumivarNetTarnwick");
    setWindowIcon(TarnwickWindowIcon());
    model_ = std::make_unique<UnitTableModel>(session_);
    controls_.ListViewUnitsOnline->setModel(model_.get());
    fieldEdit_ = std::make_unique<FieldEdit>(session_, controls_.ListViewUnitsOnline);
    Connect();
    StartUp();
}

frmLumivarNetTarnwick::~frmLumivarNetTarnwick() {
    TimerOpen.stop();
    // Open boxes report their closing to the session: they go while it is still here.
    qDeleteAll(findChildren<QMessageBox*>());
    fieldEdit_.reset();
    // The view goes before the model it asks.
    delete controls_.ListViewUnitsOnline;
}

void frmLumivarNetTarnwick::Connect() {
    connect(model_.get(), &UnitTableModel::CheckBoxToggled, this,
            [this](int row, bool checked) { session_.RowCheckBoxChanged(row, checked); });
    connect(controls_.buttonApply, &QPushButton::clicked, this, [this] { session_.Apply(); });
    connect(controls_.buttonCancelAll, &QPushButton::clicked, this, [this] {
        fieldEdit_->Hide();
        session_.CancelAll();
    });
    for (int i = 0; i < IdentificationFilterItemCount; ++i)
        connect(controls_.FilterItems[static_cast<std::size_t>(i)], &QAction::toggled, this,
                [this, i](bool checked) { session_.SetFilterItemChecked(i, checked); });
    connect(controls_.mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(controls_.mnuResendUnconfirmedChanges, &QAction::triggered, this,
            [this] { session_.ResendUnconfirmed(); });
    QTreeView* list = controls_.ListViewUnitsOnline;
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](QPoint at) {
        const QModelIndex index = list->indexAt(at);
        if (index.isValid())
            OpenRowContextMenu(this, list->viewport()->mapToGlobal(at), session_, index.row() + 1);
    });
    connect(controls_.mnuAboutKVQChangeSettingsApplication, &QAction::triggered, this,
            &frmLumivarNetTarnwick::ShowAboutBox);
    controls_.Form->installEventFilter(this);
    TimerOpen.setInterval(TimerOpenIntervalMs);
    connect(&TimerOpen, &QTimer::timeout, this, &frmLumivarNetTarnwick::TimerOpenTick);
}

void frmLumivarNetTarnwick::StartUp() {
    // The form opens at its design size; the layout's references come from it.
    const QRect form = ToPixels({0, 0, design::FormWidth, design::FormHeight});
    resize(form.width(), form.height() + menuBar()->sizeHint().height());
    controls_.Form->resize(form.size());
    layout_ = InitialLayout(design::FormHeight, design::FormWidth);
    ApplyLayout();

    DatagramLink::Handlers handlers;
    handlers.datagrams = [this](std::string_view bytes, std::string_view sender) {
        model_->HoldNewRows();
        session_.TakeDatagram(bytes, sender);
    };
    // One insertion per batch: the list lays itself out once, however many units answered.
    handlers.batchEnded = [this] { model_->ShowNewRows(); };
    handlers.dropped = [this](std::uint32_t count) { session_.RepliesDropped(count); };
    handlers.interfaceAddresses = [this](std::vector<std::string> addresses) {
        session_.SetInterfaceAddresses(std::move(addresses));
    };
    handlers.hostAddresses = [this](std::vector<std::string> addresses) {
        session_.SetLocalAddresses(std::move(addresses));
    };
    SckUDP->Connect(std::move(handlers));
    session_.SetClock([] { return QTime::currentTime().toString("HH:mm:ss").toStdString(); });
    session_.StartUp();
    UpdateResults();
    TimerOpen.start();
}

void frmLumivarNetTarnwick::TimerOpenTick() {
    session_.TimerOpenTick(SckUDP->StateValue());
    UpdateResults();
}

void frmLumivarNetTarnwick::ToolbarButtonClick(const QString& key) {
    if (key == "Exit")
        close();
    else if (key == "Refresh") {
        session_.Refresh();
        UpdateResults();
    }
    // "Identify" does nothing.
}

void frmLumivarNetTarnwick::ShowAboutBox() {
    OpenMessageBox(
        this, {MessageIcon::Information, ApplicationTitle, AboutText(session_.InternalMode())}, {});
}

std::optional<std::string> frmLumivarNetTarnwick::SendDatagram(const std::string& datagram) {
    return SckUDP->Send(datagram);
}

void frmLumivarNetTarnwick::ShowMessage(const MessageReport& report, MessageOrigin origin) {
    OpenMessageBox(this, report, [this, origin] {
        session_.MessageClosed(origin);
        if (origin == MessageOrigin::Validation)
            fieldEdit_->Refocus();
    });
}

void frmLumivarNetTarnwick::ListEnabledChanged(bool enabled) {
    controls_.ListViewUnitsOnline->setEnabled(enabled);
    if (enabled)
        fieldEdit_->Refocus();
}

void frmLumivarNetTarnwick::ButtonsEnabledChanged(bool enabled) {
    controls_.buttonApply->setEnabled(enabled);
    controls_.buttonCancelAll->setEnabled(enabled);
}

void frmLumivarNetTarnwick::HighlightChanged(int row) {
    // The unit may have come back in the batch being taken.
    model_->ShowNewRows();
    QItemSelectionModel* selection = controls_.ListViewUnitsOnline->selectionModel();
    if (row == 0) {
        selection->clear();
        return;
    }
    // Selects without moving the current index, so the list does not scroll to column 1.
    selection->select(model_->index(row - 1, 0),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void frmLumivarNetTarnwick::ResultsChanged(int row) {
    model_->ResultChanged(row);
    // The panel follows on the next tick; at the end of a walk at once.
    if (row == 0)
        UpdateResults();
}

void frmLumivarNetTarnwick::UpdateResults() {
    controls_.StatusPanelResults->setText(QString::fromStdString(session_.StatusText()));
    controls_.mnuResendUnconfirmedChanges->setEnabled(!session_.Applying() &&
                                                      session_.HasUnconfirmed());
}

void frmLumivarNetTarnwick::CaptionChanged(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void frmLumivarNetTarnwick::ApplyStepDue() {
    // The next unit on the next turn of the loop: replies, ticks and repaints run in between.
    QTimer::singleShot(0, this, [this] { session_.ApplyStep(); });
}

void frmLumivarNetTarnwick::closeEvent(QCloseEvent* event) {
    session_.ShutDown();
    TimerOpen.stop();
    fieldEdit_->Hide();
    event->accept();
}

QRect frmLumivarNetTarnwick::ToPixels(const TwipsRect& r) const {
    const float x = static_cast<float>(logicalDpiX()) / TwipsPerInch;
    const float y = static_cast<float>(logicalDpiY()) / TwipsPerInch;
    return {qRound(r.left * x), qRound(r.top * y), qRound(r.width * x), qRound(r.height * y)};
}

void frmLumivarNetTarnwick::ApplyLayout() {
    QWidget* form = controls_.Form;
    const int width = form->width();
    controls_.Toolbar->setGeometry(0, 0, width, ToPixels(design::Toolbar).height());
    controls_.CheckBoxIdntificationMode->setGeometry(ToPixels(design::CheckBoxIdntificationMode));
    const int status = ToPixels(design::StatusBar).height();
    controls_.StatusBar->setGeometry(0, form->height() - status, width, status);
    controls_.buttonApply->setGeometry(ToPixels(layout_.buttonApply));
    controls_.buttonCancelAll->setGeometry(ToPixels(layout_.buttonCancelAll));
    controls_.ListViewUnitsOnline->setGeometry(ToPixels(layout_.list));
    controls_.ListViewUnitsOnline->setVisible(layout_.listVisible);
}

bool frmLumivarNetTarnwick::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_.Form && event->type() == QEvent::Resize && fieldEdit_) {
        // No edit box floats at a stale position.
        fieldEdit_->Hide();
        QWidget* form = controls_.Form;
        ResizeLayout(layout_,
                     static_cast<float>(form->height()) * TwipsPerInch /
                         static_cast<float>(form->logicalDpiY()),
                     static_cast<float>(form->width()) * TwipsPerInch /
                         static_cast<float>(form->logicalDpiX()));
        ApplyLayout();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tarnwick
