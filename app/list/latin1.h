// Texts from the wire are bytes: one byte, one character, both ways.
#pragma once

#include <QString>

#include <algorithm>
#include <string_view>

namespace tarnwick {

inline QString Latin1(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Every character can go out as one byte.
inline bool FitsOneByte(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

} // namespace tarnwick
