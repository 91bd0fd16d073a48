#include "console/session/message_gate.h"

#include <cstddef>
#include <utility>

namespace tarnwick {

bool MessageGate::Admit(MessageOrigin origin) {
    bool& open = open_[static_cast<std::size_t>(origin)];
    if (open) {
        ++suppressed_;
        return false;
    }
    open = true;
    return true;
}

void MessageGate::Closed(MessageOrigin origin) {
    open_[static_cast<std::size_t>(origin)] = false;
}

bool MessageGate::SendFailed() {
    // The next send tries again; only the first failure of a run is news.
    return !std::exchange(failing_, true);
}

} // namespace tarnwick
