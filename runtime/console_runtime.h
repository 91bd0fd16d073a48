// The console without its window: the session, the link to the units, the 500 ms timer that
// drives it, Apply's walk one unit per turn of the event loop, and the feed of this computer's
// networks. The window runs one, and so does every other front end: nothing else joins a
// session to a link or a timer.
#pragma once

#include "console/network/network_interfaces.h"
#include "console/session/console_session.h"
#include "runtime/datagram_link.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

class ConsoleRuntime : public QObject {
    Q_OBJECT
public:
    // One input to the session (Session()->Refresh()): what the call leaves to send goes out
    // once it has returned, and the next step of Apply is scheduled. Nothing the session sends
    // can reach it while it is working.
    class SessionCall {
    public:
        explicit SessionCall(ConsoleRuntime& runtime) : runtime_(runtime) {}
        SessionCall(const SessionCall&) = delete;
        SessionCall& operator=(const SessionCall&) = delete;
        ~SessionCall() { runtime_.AfterInput(); }
        ConsoleSession* operator->() { return &runtime_.session_; }

    private:
        ConsoleRuntime& runtime_;
    };

    // Without a link of its own the runtime talks through the real UDP transport. `views` hears
    // what the session tells its views; it outlives the runtime.
    // `selectsFirstUnit` as the session takes it.
    ConsoleRuntime(bool internalMode, SessionListener& views,
                   std::unique_ptr<DatagramLink> link = {}, bool selectsFirstUnit = true);
    ~ConsoleRuntime() override;
    ConsoleRuntime(const ConsoleRuntime&) = delete;
    ConsoleRuntime& operator=(const ConsoleRuntime&) = delete;

    SessionCall Session() { return SessionCall(*this); }
    // What the session shows, for reading.
    const SessionState& State() const { return session_.State(); }
    const DatagramLink& Link() const { return *link_; }
    // The first identification request, then the timer.
    void Start();
    // The selected unit stops identifying itself; no tick and no step of Apply follow.
    void Stop();

signals:
    // The first datagram of a turn of the event loop is about to be taken, and the last one was.
    void BatchStarted();
    void BatchEnded();
    // After each tick of the timer.
    void Ticked();
    // Which units this computer reaches may have changed.
    void HostNetworksChanged();

private:
    void AfterInput();
    void Tick();
    void FeedHostNetworks();

    ConsoleSession session_;
    std::unique_ptr<DatagramLink> link_;
    QTimer TimerOpen;
    std::vector<std::string> resolved_;
    std::vector<NetworkInterface> interfaces_;
    bool batchOpen_ = false;
    TimeOfDay batchTime_;   // what a change reply taken in this batch is stamped with
    bool draining_ = false; // the link may hand in an input while a datagram goes out
    bool stepQueued_ = false;
    const bool trace_ = qEnvironmentVariableIsSet("TARNWICK_TRACE");
    int tracedUnits_ = 0;
};

} // namespace tarnwick
