// frmLumivarNetTarnwick: the console's one window.
#pragma once

#include "app/host_identity.h"
#include "app/window_layout.h"
#include "editing/field_edit.h"
#include "protocol/message_report.h"
#include "protocol/unit_table.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class QTreeView;

namespace tarnwick {

class UdpTransport;
class UnitTableModel;

// Where the window meets the outside world; tests put recorders here.
struct WindowSeams {
    // Sends one datagram; the failed step when it did not go out. Default: SckUDP.
    std::function<std::optional<QString>(const std::string&)> send;
    // Shows a message. `intake`: a report on a received datagram, whose box must not hold up
    // the reading of further datagrams; the window is told when it is closed. Default: boxes.
    std::function<void(const MessageReport&, bool intake)> show;
    // Default: this machine's name and addresses.
    std::function<HostIdentity()> hostIdentity;
    // The socket state as the caption numbers it (0 to 9). Default: SckUDP's.
    std::function<int()> socketState;
};

class frmLumivarNetTarnwick : public QMainWindow, public FieldEditHost {
    Q_OBJECT
public:
    explicit frmLumivarNetTarnwick(bool internalMode, WindowSeams seams = {});
    ~frmLumivarNetTarnwick() override;

    // Window state the other parts share.
    int UnitCount() const { return units_.UnitCount(); }
    int PendingChangeCount = 0;
    int ReplyWaitTicks = 0;
    bool AutoSelectDone = false;
    int IdentifyElapsedMs = 0;
    std::int32_t BackupStatus = 0;
    std::string LocalHostName;
    std::vector<std::string> LocalAddresses;
    const bool InternalMode;

    FieldEdit& CellEditor() { return *fieldEdit_; }
    UnitTable& Units() { return units_; }
    // Intake reports left unshown because one was already open.
    int SuppressedIntakeReports() const { return suppressedIntakeReports_; }

    // One received datagram, by the path the socket uses.
    void TakeDatagram(std::string_view bytes, std::string_view sender);
    // One tick of TimerOpen.
    void TimerOpenTick();
    // A toolbar button by its key.
    void ToolbarButtonClick(const QString& key);
    // The open intake box was closed.
    void IntakeBoxClosed();
    void ShowAboutBox();

    // Twips of the form's client area.
    float FormHeightTwips() const;
    float FormWidthTwips() const;

    // FieldEditHost
    void SendABroadcastMessage(const std::string& message) override;
    void ShowMessage(const MessageReport& report) override;
    std::uint16_t IdentificationFilterChecks() const override;
    void StartReplyWait() override;
    void CountPendingChange() override;
    bool IsInternalMode() const override { return InternalMode; }

    // A user ticked or cleared the check box of `row`.
    void RowCheckBoxChanged(int row);
    // Sends every unit its pending changes.
    void Apply();
    // Drops every pending change: cells and check boxes go back to what the units reported.
    void CancelAll();

    // Controls.
    QWidget* Form = nullptr;
    QToolBar* Toolbar = nullptr;
    QCheckBox* CheckBoxIdntificationMode = nullptr;
    QTreeView* ListViewUnitsOnline = nullptr;
    QPushButton* buttonApply = nullptr;
    QPushButton* buttonCancelAll = nullptr;
    QStatusBar* StatusBar = nullptr;
    QTimer TimerOpen;
    QMenu* mnuKVQIdentificationFilter = nullptr;
    QMenu* mnuKVQIdentificationTime = nullptr;
    std::array<QAction*, 10> FilterItems{};
    QAction* mnuFileExit = nullptr;
    QAction* mnuAboutKVQChangeSettingsApplication = nullptr;

    void HighlightRow(int row);
    void ClearHighlight();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateMenus();
    void CreateToolbar();
    void StartUp();
    QString BaseCaption() const;
    void ReadSocket();
    void ShowIntakeReport(const MessageReport& report);
    void ShowBox(const MessageReport& report, bool intake);
    void ApplyLayout();
    QRect ToPixels(const TwipsRect& rect) const;
    void FormResized();

    WindowSeams seams_;
    UnitTable units_;
    std::unique_ptr<UnitTableModel> model_;
    std::unique_ptr<UdpTransport> SckUDP;
    std::unique_ptr<FieldEdit> fieldEdit_;
    WindowLayout layout_;
    bool reading_ = false;
    bool readQueued_ = false;
    bool intakeBoxOpen_ = false;
    int suppressedIntakeReports_ = 0;
    bool transportErrorShown_ = false;
    bool applying_ = false;
};

} // namespace tarnwick
