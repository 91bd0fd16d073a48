// Which of the session's messages open a box: at most one box of each origin at a time, so a
// flood of bad datagrams or failing sends never stacks boxes, and a run of failing sends is said
// once.
#pragma once

#include "console/session/session_listener.h"

#include <array>

namespace tarnwick {

class MessageGate {
public:
    // Whether a message of `origin` may open its box now; one that may not is counted.
    bool Admit(MessageOrigin origin);
    void Closed(MessageOrigin origin);
    // A datagram went out, or did not: true when this failure starts a run of failures.
    bool SendFailed();
    void SendSucceeded() { failing_ = false; }
    // Messages left unshown because a box of the same origin was open.
    int Suppressed() const { return suppressed_; }

private:
    std::array<bool, 4> open_{};
    bool failing_ = false;
    int suppressed_ = 0;
};

} // namespace tarnwick
