#include "app/window/window_controls.h"

#include "app/list/pending_edit_delegate.h"
#include "app/list/unit_list_view.h"
#include "app/window/toolbar_icons.h"
#include "console/requests/unit_request_builder.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace tarnwick {
namespace {

QFont FormFont() {
    // The design sizes were made for this face and size.
    QFont font;
    font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans",
                      "Nimbus Sans", "Helvetica"});
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    return font;
}

UnitListView* CreateList(QWidget* form) {
    auto* list = new UnitListView(form);
    list->setObjectName("ListViewUnitsOnline");
    list->setAccessibleName("Units online");
    list->setFont(form->font());
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setItemsExpandable(false);
    // The focus frame marks the current cell, the one F2 opens.
    list->setAllColumnsShowFocus(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    list->header()->setDefaultSectionSize(100);
    list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // A light selection with black text, so red pending edits stay visible in the selected row.
    list->setItemDelegate(new PendingEditDelegate(list));
    QPalette palette = list->palette();
    palette.setColor(QPalette::Highlight, QColor(204, 228, 247));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    list->setPalette(palette);
    return list;
}

QPushButton* CreateButton(QWidget* form, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, form);
    button->setObjectName(name);
    button->setEnabled(false);
    return button;
}

QToolBar* CreateToolbar(QWidget* form, const std::function<void(const QString&)>& click) {
    auto* toolbar = new QToolBar(form);
    toolbar->setObjectName("Toolbar");
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setAccessibleName("Toolbar");
    // The button a narrow window shows for the buttons that no longer fit.
    if (auto* more = toolbar->findChild<QWidget*>("qt_toolbar_ext_button"))
        more->setAccessibleName("More buttons");
    struct Button {
        const char* key;
        const char* toolTip;
        QIcon icon;
    };
    const Button buttons[] = {
        {"Exit", "Exit", ExitIcon()},
        {"Refresh", "Refresh the lost of online KVQ units.", RefreshIcon()},
        {"Identify", "Identify selected KVQ units.", ExplorerIcon()},
    };
    for (const Button& button : buttons) {
        const QString key = button.key;
        if (key == "Identify")
            toolbar->addSeparator()->setObjectName("sprRefreshIdentify");
        QAction* action = toolbar->addAction(button.icon, key);
        action->setObjectName(key);
        action->setToolTip(button.toolTip);
        // A screen reader names the button as the eye reads it.
        toolbar->widgetForAction(action)->setAccessibleName(key);
        QObject::connect(action, &QAction::triggered, toolbar, [click, key] { click(key); });
        if (key == "Refresh")
            action->setShortcut(QKeySequence::Refresh);
    }
    return toolbar;
}

QLineEdit* CreateFindField(QToolBar* toolbar) {
    // Right of the buttons, out of the way of the form's own controls.
    auto* spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    auto* find = new QLineEdit(toolbar);
    find->setObjectName("txtFind");
    find->setAccessibleName("Find");
    find->setPlaceholderText("Find a unit");
    find->setClearButtonEnabled(true);
    // Qt's clear button has no name of its own: a screen reader would say "push button".
    for (QAction* action : find->actions())
        action->setText("Clear");
    for (QToolButton* button : find->findChildren<QToolButton*>())
        button->setAccessibleName("Clear");
    find->setMaximumWidth(130);
    // Reached by Ctrl+F or a click; Tab and a greyed button's focus stay among the list's
    // controls, and a line edit with the focus would take Ctrl+E and Ctrl+I for itself.
    find->setFocusPolicy(Qt::ClickFocus);
    toolbar->addWidget(find);
    return find;
}

QAction* Item(QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(keys);
    return action;
}

void CreateMenus(QMenuBar* bar, WindowControls& controls) {
    QMenu* mnuFile = bar->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    controls.mnuFileExportList =
        Item(mnuFile, "mnuFileExportList", "&Export List\u2026", QKeySequence("Ctrl+E"));
    controls.mnuFileImportPlan =
        Item(mnuFile, "mnuFileImportPlan", "&Import Plan\u2026", QKeySequence("Ctrl+I"));
    mnuFile->addSeparator();
    controls.mnuFileExit = mnuFile->addAction("E&xit");
    controls.mnuFileExit->setObjectName("mnuFileExit");

    // The two KVQ menus cannot be opened: shown grayed.
    QMenu* filter = bar->addMenu("KVQ &Identification Filter ");
    filter->setObjectName("mnuKVQIdentificationFilter");
    for (std::size_t i = 0; i < IdentificationFilterMenu.size(); ++i) {
        const FilterMenuItem& item = IdentificationFilterMenu[i];
        QAction* action = filter->addAction(item.caption);
        action->setObjectName(item.name);
        action->setCheckable(true);
        action->setChecked(item.checkedAtStart);
        action->setVisible(item.offered);
        controls.FilterItems[i] = action;
    }
    filter->setEnabled(false);

    QMenu* time = bar->addMenu("KVQ Identification &Time");
    time->setObjectName("mnuKVQIdentificationTime");
    const std::pair<const char*, const char*> times[] = {{"mnu5Seconds", " 5 Seconds"},
                                                         {"mnu10Seconds", "10 Seconds"},
                                                         {"mnu20Seconds", "20 Seconds"},
                                                         {"mnu30Seconds", "30 Seconds"},
                                                         {"mnuInfiniteTime", "Infinite Time"}};
    for (const auto& [name, caption] : times) {
        QAction* action = time->addAction(caption);
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(QString(name) == "mnu5Seconds");
    }
    time->setEnabled(false);

    QMenu* units = bar->addMenu("&Units");
    units->setObjectName("mnuUnits");
    controls.mnuResendUnconfirmedChanges = units->addAction("&Resend Unconfirmed Changes");
    controls.mnuResendUnconfirmedChanges->setObjectName("mnuResendUnconfirmedChanges");
    // Ctrl+R is Refresh on some desktops.
    controls.mnuResendUnconfirmedChanges->setShortcut(QKeySequence("Ctrl+Shift+R"));
    controls.mnuResendUnconfirmedChanges->setEnabled(false);
    units->addSeparator();
    controls.mnuFind = Item(units, "mnuFind", "&Find\u2026", QKeySequence::Find);
    controls.mnuFindNext = Item(units, "mnuFindNext", "Find &Next", QKeySequence::FindNext);
    units->addSeparator();
    controls.mnuAssignAddresses = Item(units, "mnuAssignAddresses", "&Assign Addresses\u2026", {});
    controls.mnuCheckAddressesBeforeApply =
        Item(units, "mnuCheckAddressesBeforeApply", "&Check Addresses before Apply", {});
    controls.mnuCheckAddressesBeforeApply->setCheckable(true);
    controls.mnuCheckAddressesBeforeApply->setChecked(true);

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("mnuHelp");
    controls.mnuAboutKVQChangeSettingsApplication = help->addAction("&About Tarnwick Application");
    controls.mnuAboutKVQChangeSettingsApplication->setObjectName(
        "mnuAboutKVQChangeSettingsApplication");
}

} // namespace

WindowControls CreateControls(QMainWindow& window,
                              const std::function<void(const QString& key)>& toolbarClick) {
    WindowControls controls;
    controls.Form = new QWidget(&window);
    controls.Form->setObjectName("Form");
    controls.Form->setFont(FormFont());
    window.setCentralWidget(controls.Form);
    controls.Toolbar = CreateToolbar(controls.Form, toolbarClick);
    controls.txtFind = CreateFindField(controls.Toolbar);

    controls.CheckBoxIdntificationMode = new QCheckBox("Auto Identification", controls.Form);
    controls.CheckBoxIdntificationMode->setObjectName("CheckBoxIdntificationMode");
    controls.CheckBoxIdntificationMode->setEnabled(false);

    controls.ListViewUnitsOnline = CreateList(controls.Form);
    controls.buttonApply = CreateButton(controls.Form, "buttonApply", "Apply");
    controls.buttonCancelAll = CreateButton(controls.Form, "buttonCancelAll", "Cancel All");
    QWidget::setTabOrder(controls.ListViewUnitsOnline, controls.buttonApply);
    QWidget::setTabOrder(controls.buttonApply, controls.buttonCancelAll);

    controls.StatusBar = new QStatusBar(controls.Form);
    controls.StatusBar->setObjectName("StatusBar");
    controls.StatusBar->setSizeGripEnabled(false);
    controls.StatusBar->setAccessibleName("Status bar");
    auto* ready = new QLabel("Ready", controls.StatusBar);
    ready->setAccessibleName("Status");
    controls.StatusBar->addWidget(ready, 1);
    controls.StatusPanelResults = new QLabel(controls.StatusBar);
    controls.StatusPanelResults->setObjectName("StatusPanelResults");
    controls.StatusPanelResults->setTextFormat(Qt::PlainText);
    controls.StatusPanelResults->setAccessibleName("Units and results");
    controls.StatusBar->addPermanentWidget(controls.StatusPanelResults);

    CreateMenus(window.menuBar(), controls);
    return controls;
}

QRect ToPixels(const QWidget& widget, const TwipsRect& r) {
    const float x = static_cast<float>(widget.logicalDpiX()) / TwipsPerInch;
    const float y = static_cast<float>(widget.logicalDpiY()) / TwipsPerInch;
    return {qRound(r.left * x), qRound(r.top * y), qRound(r.width * x), qRound(r.height * y)};
}

void PlaceControls(const WindowControls& controls, const WindowLayout& layout) {
    QWidget& form = *controls.Form;
    const int width = form.width();
    controls.Toolbar->setGeometry(0, 0, width, ToPixels(form, design::Toolbar).height());
    controls.CheckBoxIdntificationMode->setGeometry(
        ToPixels(form, design::CheckBoxIdntificationMode));
    const int status = ToPixels(form, design::StatusBar).height();
    controls.StatusBar->setGeometry(0, form.height() - status, width, status);
    controls.buttonApply->setGeometry(ToPixels(form, layout.buttonApply));
    controls.buttonCancelAll->setGeometry(ToPixels(form, layout.buttonCancelAll));
    controls.ListViewUnitsOnline->setGeometry(ToPixels(form, layout.list));
    controls.ListViewUnitsOnline->setVisible(layout.listVisible);
}

} // namespace tarnwick
