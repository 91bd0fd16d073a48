// A modal message the window shows on the core's behalf.
#pragma once

#include <string>

namespace tarnwick {

enum class MessageIcon { Information, Exclamation, Critical };

// Texts from the wire are bytes (one byte, one character); the system's own error texts are
// UTF-8.
enum class TextEncoding { Latin1, Utf8 };

struct MessageReport {
    MessageIcon icon = MessageIcon::Information;
    std::string title;
    std::string text;
    TextEncoding encoding = TextEncoding::Latin1;
    bool operator==(const MessageReport&) const = default;
};

} // namespace tarnwick
