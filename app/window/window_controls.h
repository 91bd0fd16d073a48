// The window's controls with their design properties: menus, toolbar, list, buttons, status bar.
#pragma once

#include "app/window/window_layout.h"
#include "console/session/console_session.h"

#include <QRect>
#include <QString>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QStatusBar;
class QToolBar;
class QWidget;

namespace tarnwick {

class UnitListView;

struct WindowControls {
    QWidget* Form = nullptr;
    QToolBar* Toolbar = nullptr;
    QCheckBox* CheckBoxIdntificationMode = nullptr;
    UnitListView* ListViewUnitsOnline = nullptr;
    QPushButton* buttonApply = nullptr;
    QPushButton* buttonCancelAll = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanelResults = nullptr; // right of "Ready": the last Apply, or the unit count
    std::array<QAction*, IdentificationFilterItemCount> FilterItems{};
    QAction* mnuFileExportList = nullptr;
    QAction* mnuFileImportPlan = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuResendUnconfirmedChanges = nullptr;
    QAction* mnuFind = nullptr;
    QAction* mnuFindNext = nullptr;
    QAction* mnuAssignAddresses = nullptr;
    QAction* mnuCheckAddressesBeforeApply = nullptr;
    QLineEdit* txtFind = nullptr; // in the toolbar
    QAction* mnuAboutKVQChangeSettingsApplication = nullptr;
};

// Builds every control into `window`; a toolbar click reaches `toolbarClick` with its key.
WindowControls CreateControls(QMainWindow& window,
                              const std::function<void(const QString& key)>& toolbarClick);

// Twips to pixels through the screen's logical DPI of `widget`.
QRect ToPixels(const QWidget& widget, const TwipsRect& rect);
// The controls where the layout puts them, within the form as it is now.
void PlaceControls(const WindowControls& controls, const WindowLayout& layout);

} // namespace tarnwick
