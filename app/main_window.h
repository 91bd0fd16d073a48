// frmLumivarNetTarnwick: the console's one window, a view of the console session.
#pragma once

#include "app/window_controls.h"
#include "app/window_layout.h"
#include "console/console_session.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

class FieldEdit;
class UdpTransport;
class UnitTableModel;

// Where the window meets the outside world; tests put recorders here.
struct WindowSeams {
    // Sends one datagram; what failed when it did not go out. Default: SckUDP.
    std::function<std::optional<std::string>(const std::string&)> send;
    // Shows a message. Default: a box, modal to the window.
    std::function<void(const MessageReport&, MessageOrigin)> show;
    // Default: what this machine's name resolves to, looked up in the background.
    std::optional<std::vector<std::string>> localAddresses;
    // The socket state as the caption numbers it (0 to 9). Default: SckUDP's.
    std::function<int()> socketState;
};

class frmLumivarNetTarnwick : public QMainWindow, private SessionSink {
    Q_OBJECT
public:
    explicit frmLumivarNetTarnwick(bool internalMode, WindowSeams seams = {});
    ~frmLumivarNetTarnwick() override;

    ConsoleSession& Session() { return session_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // SessionSink
    std::optional<std::string> SendDatagram(const std::string& datagram) override;
    void ShowMessage(const MessageReport& report, MessageOrigin origin) override;
    void ListEnabledChanged(bool enabled) override;
    void ButtonsEnabledChanged(bool enabled) override;
    void HighlightChanged(int row) override;
    void CaptionChanged(const std::string& caption) override;
    void ApplyStepDue() override;

    void Connect();
    void StartUp();
    void TimerOpenTick();
    void ToolbarButtonClick(const QString& key);
    void ShowAboutBox();
    void ApplyLayout();
    QRect ToPixels(const TwipsRect& rect) const;

    WindowSeams seams_;
    ConsoleSession session_;
    WindowControls controls_;
    std::unique_ptr<UnitTableModel> model_;
    std::unique_ptr<UdpTransport> SckUDP;
    std::unique_ptr<FieldEdit> fieldEdit_;
    WindowLayout layout_;
    QTimer TimerOpen;
};

} // namespace tarnwick
