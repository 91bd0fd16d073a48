// What one decoded reply carries.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick {

struct ReplyField {
    std::int16_t fieldNumber = 0; // 0: empty entry
    std::string value;
};

// Entry f-1 holds field f; entry 16 collects the rendered extras (fields 17 and up).
inline constexpr std::size_t UnitReplyFieldCount = 17;
inline constexpr std::size_t ExtrasEntry = 16;
using UnitReplyFields = std::array<ReplyField, UnitReplyFieldCount>;

} // namespace tarnwick
