// A modal message the window shows on the core's behalf.
#pragma once

#include <string>

namespace tarnwick {

enum class MessageIcon { Information, Exclamation, Critical };

struct MessageReport {
    MessageIcon icon = MessageIcon::Information;
    std::string title;
    std::string text;
    bool operator==(const MessageReport&) const = default;
};

} // namespace tarnwick
