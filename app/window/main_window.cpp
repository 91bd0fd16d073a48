#include "app/window/main_window.h"

#include "app/dialogs/about_box.h"
#include "app/dialogs/assign_addresses_dialog.h"
#include "app/dialogs/message_box.h"
#include "app/dialogs/site_files.h"
#include "app/list/field_edit.h"
#include "app/list/latin1.h"
#include "app/list/row_context_menu.h"
#include "app/list/unit_list_view.h"
#include "app/list/unit_table_model.h"
#include "app/window/toolbar_icons.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

namespace tarnwick {

frmLumivarNetTarnwick::frmLumivarNetTarnwick(bool internalMode, std::unique_ptr<DatagramLink> link)
    : runtime_(internalMode, *this, std::move(link)),
      controls_(CreateControls(*this, [this](const QString& key) { ToolbarButtonClick(key); })) {
    setObjectName("frmLumivarNetTarnwick");
    setWindowIcon(TarnwickWindowIcon());
    model_ = std::make_unique<UnitTableModel>(runtime_);
    controls_.ListViewUnitsOnline->setModel(model_.get());
    fieldEdit_ = std::make_unique<FieldEdit>(runtime_, controls_.ListViewUnitsOnline);
    Connect();
    StartUp();
}

frmLumivarNetTarnwick::~frmLumivarNetTarnwick() {
    // Open boxes report their closing to the session: they go while it is still here.
    qDeleteAll(findChildren<QMessageBox*>());
    fieldEdit_.reset();
    // The view goes before the model it asks.
    delete controls_.ListViewUnitsOnline;
}

void frmLumivarNetTarnwick::Connect() {
    connect(model_.get(), &UnitTableModel::CheckBoxToggled, this, [this](int row, bool checked) {
        runtime_.Session()->RowCheckBoxChanged(row, checked);
    });
    connect(controls_.buttonApply, &QPushButton::clicked, this, &frmLumivarNetTarnwick::ApplyClick);
    connect(controls_.mnuFileExportList, &QAction::triggered, this,
            [this] { ExportListToFile(this, runtime_); });
    connect(controls_.mnuFileImportPlan, &QAction::triggered, this, [this] {
        fieldEdit_->Hide();
        // The status panel says at once when the plan changed nothing.
        ImportPlanFromFile(this, runtime_, [this] { UpdateResults(); });
    });
    connect(controls_.mnuAssignAddresses, &QAction::triggered, this, [this] {
        fieldEdit_->Hide();
        auto* dialog = new AssignAddressesDialog(runtime_, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    connect(controls_.mnuCheckAddressesBeforeApply, &QAction::toggled, this,
            [this](bool checked) { runtime_.Session()->SetCheckAddressesBeforeApply(checked); });
    connect(controls_.mnuFind, &QAction::triggered, this, [this] {
        controls_.txtFind->setFocus(Qt::ShortcutFocusReason);
        controls_.txtFind->selectAll();
    });
    connect(controls_.txtFind, &QLineEdit::returnPressed, this, &frmLumivarNetTarnwick::FindNext);
    connect(controls_.mnuFindNext, &QAction::triggered, this, &frmLumivarNetTarnwick::FindNext);
    connect(controls_.buttonCancelAll, &QPushButton::clicked, this, [this] {
        fieldEdit_->Hide();
        runtime_.Session()->CancelAll();
    });
    for (int i = 0; i < IdentificationFilterItemCount; ++i)
        connect(controls_.FilterItems[static_cast<std::size_t>(i)], &QAction::toggled, this,
                [this, i](bool checked) { runtime_.Session()->SetFilterItemChecked(i, checked); });
    connect(controls_.mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(controls_.mnuResendUnconfirmedChanges, &QAction::triggered, this,
            [this] { runtime_.Session()->ResendUnconfirmed(); });
    UnitListView* list = controls_.ListViewUnitsOnline;
    connect(list, &UnitListView::CurrentRowMovedByKey, this,
            [this](int row) { runtime_.Session()->SelectRow(row); });
    connect(list, &UnitListView::EditRequested, fieldEdit_.get(), &FieldEdit::StartEditAt);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](QPoint at) {
        const QModelIndex index = list->indexAt(at);
        if (index.isValid())
            OpenRowContextMenu(this, list->viewport()->mapToGlobal(at), runtime_, index.row() + 1);
    });
    connect(controls_.mnuAboutKVQChangeSettingsApplication, &QAction::triggered, this,
            &frmLumivarNetTarnwick::ShowAboutBox);
    controls_.Form->installEventFilter(this);
    // One insertion per batch: the list lays itself out once, however many units answered.
    connect(&runtime_, &ConsoleRuntime::BatchStarted, model_.get(), &UnitTableModel::HoldNewRows);
    connect(&runtime_, &ConsoleRuntime::BatchEnded, model_.get(), &UnitTableModel::ShowNewRows);
    connect(&runtime_, &ConsoleRuntime::Ticked, this, &frmLumivarNetTarnwick::UpdateResults);
    // Which units this computer reaches changes with its addresses.
    connect(&runtime_, &ConsoleRuntime::HostNetworksChanged,
            controls_.ListViewUnitsOnline->viewport(), qOverload<>(&QWidget::update));
}

void frmLumivarNetTarnwick::StartUp() {
    // The form opens at its design size; the layout's references come from it.
    const QRect form = ToPixels(*this, {0, 0, design::FormWidth, design::FormHeight});
    resize(form.width(), form.height() + menuBar()->sizeHint().height());
    controls_.Form->resize(form.size());
    layout_ = InitialLayout(design::FormHeight, design::FormWidth);
    PlaceControls(controls_, layout_);

    runtime_.Start();
    UpdateResults();
    // A keyboard user starts in the list; Tab goes on to Apply, then Cancel All.
    controls_.ListViewUnitsOnline->setFocus(Qt::OtherFocusReason);
}

void frmLumivarNetTarnwick::ToolbarButtonClick(const QString& key) {
    if (key == "Exit")
        close();
    else if (key == "Refresh") {
        runtime_.Session()->Refresh();
        UpdateResults();
    }
    // "Identify" does nothing.
}

void frmLumivarNetTarnwick::ApplyClick() {
    const std::vector<std::string> problems = ProblemsBeforeApply(runtime_.State());
    if (problems.empty())
        runtime_.Session()->Apply();
    else
        OpenCheckAddressesBox(this, problems, [this] { runtime_.Session()->Apply(); });
}

void frmLumivarNetTarnwick::FindNext() {
    const QString text = controls_.txtFind->text();
    if (text.isEmpty())
        return;
    fieldEdit_->Hide();
    // Cells hold Latin-1 bytes: a character beyond them is in no cell.
    const int row =
        FitsOneByte(text) ? runtime_.Session()->FindUnit(text.toLatin1().toStdString()) : 0;
    if (row != 0)
        controls_.ListViewUnitsOnline->scrollTo(model_->index(row - 1, 0));
    UpdateResults();
}

void frmLumivarNetTarnwick::ShowAboutBox() {
    OpenMessageBox(
        this,
        {MessageIcon::Information, ApplicationTitle, AboutText(runtime_.State().InternalMode)}, {});
}

void frmLumivarNetTarnwick::ShowMessage(const MessageReport& report, MessageOrigin origin) {
    OpenMessageBox(this, report, [this, origin] {
        runtime_.Session()->MessageClosed(origin);
        if (origin == MessageOrigin::Validation)
            fieldEdit_->Refocus();
    });
}

void frmLumivarNetTarnwick::ListEnabledChanged(bool enabled) {
    controls_.ListViewUnitsOnline->setEnabled(enabled);
    if (enabled)
        fieldEdit_->Refocus();
    FocusListIfDue();
}

void frmLumivarNetTarnwick::ButtonsEnabledChanged(bool enabled) {
    // A keyboard user whose button goes grey goes on from the list, not from the find field.
    listFocusDue_ =
        listFocusDue_ ||
        (!enabled && (controls_.buttonApply->hasFocus() || controls_.buttonCancelAll->hasFocus()));
    controls_.buttonApply->setEnabled(enabled);
    controls_.buttonCancelAll->setEnabled(enabled);
    FocusListIfDue();
}

void frmLumivarNetTarnwick::FocusListIfDue() {
    // A disabled list takes no focus: it comes when the change reply has released the list.
    if (listFocusDue_ && controls_.ListViewUnitsOnline->isEnabled() && !fieldEdit_->IsEditing()) {
        listFocusDue_ = false;
        controls_.ListViewUnitsOnline->setFocus(Qt::OtherFocusReason);
    }
}

void frmLumivarNetTarnwick::HighlightChanged(int row) {
    // The unit may have come back in the batch being taken.
    model_->ShowNewRows();
    controls_.ListViewUnitsOnline->ShowSelectedRow(row);
}

void frmLumivarNetTarnwick::ResultsChanged(int row) {
    model_->ResultChanged(row);
    // The panel follows on the next tick; at the end of a walk at once.
    if (row == 0)
        UpdateResults();
}

void frmLumivarNetTarnwick::UpdateResults() {
    controls_.StatusPanelResults->setText(QString::fromStdString(runtime_.State().StatusText()));
    controls_.mnuResendUnconfirmedChanges->setEnabled(!runtime_.State().Applying() &&
                                                      runtime_.State().HasUnconfirmed());
}

void frmLumivarNetTarnwick::CaptionChanged(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void frmLumivarNetTarnwick::closeEvent(QCloseEvent* event) {
    runtime_.Stop();
    fieldEdit_->Hide();
    event->accept();
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
        PlaceControls(controls_, layout_);
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tarnwick
