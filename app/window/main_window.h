// frmLumivarNetTarnwick: the console's one window, a view of the console session.
#pragma once

#include "app/window/window_controls.h"
#include "app/window/window_layout.h"
#include "runtime/console_runtime.h"

#include <QMainWindow>

#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

class FieldEdit;
class UnitTableModel;

class frmLumivarNetTarnwick : public QMainWindow, private SessionListener {
    Q_OBJECT
public:
    // Without a link of its own the window talks through the real UDP transport.
    explicit frmLumivarNetTarnwick(bool internalMode, std::unique_ptr<DatagramLink> link = {});
    ~frmLumivarNetTarnwick() override;

    // Inputs to the session go through its runtime: what they leave to send goes out after.
    ConsoleRuntime::SessionCall Session() { return runtime_.Session(); }
    const SessionState& State() const { return runtime_.State(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // SessionListener
    void ShowMessage(const MessageReport& report, MessageOrigin origin) override;
    void ListEnabledChanged(bool enabled) override;
    void ButtonsEnabledChanged(bool enabled) override;
    void HighlightChanged(int row) override;
    void CaptionChanged(const std::string& caption) override;
    void ResultsChanged(int row) override;

    // The second status panel and the resend item follow the results.
    void UpdateResults();
    void FocusListIfDue();

    void Connect();
    void StartUp();
    void ToolbarButtonClick(const QString& key);
    // Apply, after a look at the addresses it would leave when the user wants one.
    void ApplyClick();
    void FindNext();
    void ShowAboutBox();

    ConsoleRuntime runtime_;
    WindowControls controls_;
    std::unique_ptr<UnitTableModel> model_;
    std::unique_ptr<FieldEdit> fieldEdit_;
    WindowLayout layout_;
    bool listFocusDue_ = false;
};

} // namespace tarnwick
