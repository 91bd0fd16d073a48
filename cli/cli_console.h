// The console runtime without a window: messages go to standard error, and a command waits on
// the event loop while the runtime works.
#pragma once

#include "runtime/console_runtime.h"

#include <optional>
#include <string>

namespace tarnwick::cli {

class CliConsole : private SessionListener {
public:
    explicit CliConsole(bool internalMode);
    // Why the console cannot run here: this user's window runs, another program has the port,
    // no IPv4 interface is up. Nothing when it has started; a send that fails later is said on
    // standard error and tried again, as in the window.
    std::optional<std::string> Start();
    // The event loop for `ms` milliseconds, or until `done` holds (checked after each tick and
    // batch of replies).
    void Wait(int ms, const std::function<bool()>& done = {});
    // The selected unit stops identifying itself; what that leaves to send goes out.
    void Stop();
    ConsoleRuntime& Runtime() { return runtime_; }
    const SessionState& State() const { return runtime_.State(); }
    // The row of the unit with `mac` (Latin-1, either case), 0 when none answered.
    int RowOf(const std::string& mac) const;
    // SIGINT or SIGTERM came (its number; 0 for none): every wait ends at once.
    int Interrupted() const { return interrupted_; }

private:
    void ShowMessage(const MessageReport& report, MessageOrigin origin) override;
    void ListEnabledChanged(bool) override {}
    void ButtonsEnabledChanged(bool) override {}
    void HighlightChanged(int) override {}
    void CaptionChanged(const std::string&) override {}
    void ResultsChanged(int) override {}

    ConsoleRuntime runtime_;
    int interrupted_ = 0;
};

} // namespace tarnwick::cli
