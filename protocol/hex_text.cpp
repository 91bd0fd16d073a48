#include "protocol/hex_text.h"

namespace tarnwick {

std::string WriteHex(std::uint32_t value, int width) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(out.size()) < width)
        out.insert(0, static_cast<std::size_t>(width) - out.size(), '0');
    return out;
}

std::optional<std::uint32_t> ReadHex32(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text)
        if (!AppendHexDigit(value, static_cast<unsigned char>(c), 0xFFFFFFFFu))
            return std::nullopt;
    return value;
}

} // namespace tarnwick
