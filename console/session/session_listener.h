// What a console session tells its views, and what can become of a datagram it sends.
#pragma once

#include "protocol/message_report.h"

#include <optional>
#include <string>

namespace tarnwick {

// A datagram that did not go out everywhere it should have.
struct SendFailure {
    std::string what;    // in words, UTF-8
    bool partly = false; // it went out through at least one interface
};

// The socket's state, numbered as the caption numbers it (0 to 9).
enum class SocketState {
    Closed = 0,
    Open = 1,
    Listening = 2,
    ConnectionPending = 3,
    ResolvingHost = 4,
    HostResolved = 5,
    Connecting = 6,
    Connected = 7,
    Disconnecting = 8,
    Error = 9,
};

// Where a message comes from: at most one box of each origin is open at a time.
enum class MessageOrigin { Intake, Transport, Request, Validation };

// What the views of a session hear: the runtime passes it on to the window in the program;
// recorders hear it in tests.
class SessionListener {
public:
    virtual ~SessionListener() = default;
    // Opens a box and returns at once; ConsoleSession::MessageClosed follows when it closes.
    virtual void ShowMessage(const MessageReport& report, MessageOrigin origin) = 0;
    virtual void ListEnabledChanged(bool enabled) = 0;
    // Apply and Cancel All, always together.
    virtual void ButtonsEnabledChanged(bool enabled) = 0;
    // The list's highlighted row; 0 for none.
    virtual void HighlightChanged(int row) = 0;
    virtual void CaptionChanged(const std::string& caption) = 0;
    // The result of `row`'s change request moved on (0: only the sum of the round).
    virtual void ResultsChanged(int row) = 0;
};

} // namespace tarnwick
