// frmLumivarNetTarnwick: the console's one window, a view of the console session.
#pragma once

#include "app/datagram_link.h"
#include "app/window_controls.h"
#include "app/window_layout.h"
#include "console/console_session.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

class FieldEdit;
class UnitTableModel;

class frmLumivarNetTarnwick : public QMainWindow, private SessionSink {
    Q_OBJECT
public:
    // Without a link of its own the window talks through SckUDP, the real UDP transport.
    explicit frmLumivarNetTarnwick(bool internalMode, std::unique_ptr<DatagramLink> link = {});
    ~frmLumivarNetTarnwick() override;

    ConsoleSession& Session() { return session_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // SessionSink
    std::optional<SendFailure> SendDatagram(const std::string& datagram) override;
    void ShowMessage(const MessageReport& report, MessageOrigin origin) override;
    void ListEnabledChanged(bool enabled) override;
    void ButtonsEnabledChanged(bool enabled) override;
    void HighlightChanged(int row) override;
    void CaptionChanged(const std::string& caption) override;
    void ApplyStepDue() override;
    void ResultsChanged(int row) override;

    // The second status panel and the resend item follow the results.
    void UpdateResults();
    void FocusListIfDue();

    void Connect();
    void StartUp();
    void TimerOpenTick();
    void ToolbarButtonClick(const QString& key);
    // Apply, after a look at the addresses it would leave when the user wants one.
    void ApplyClick();
    void FindNext();
    void ShowAboutBox();
    void ApplyLayout();
    QRect ToPixels(const TwipsRect& rect) const;

    ConsoleSession session_;
    WindowControls controls_;
    std::unique_ptr<UnitTableModel> model_;
    std::unique_ptr<DatagramLink> SckUDP;
    std::unique_ptr<FieldEdit> fieldEdit_;
    WindowLayout layout_;
    QTimer TimerOpen;
    bool listFocusDue_ = false;
    const bool trace_ = qEnvironmentVariableIsSet("TARNWICK_TRACE");
    int tracedUnits_ = 0;
};

} // namespace tarnwick
