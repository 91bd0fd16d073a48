#include "console/table/latin1_text.h"

namespace tarnwick {
namespace {

constexpr unsigned char AsciiEnd = 0x80;
constexpr unsigned char TwoByteLead = 0xC0;
constexpr unsigned char LastLatin1Lead = 0xC3; // U+00C0..U+00FF
constexpr unsigned char ContinuationMask = 0xC0;
constexpr unsigned char Continuation = 0x80;
constexpr unsigned char PayloadMask = 0x3F;
constexpr unsigned char LeadPayloadMask = 0x1F;
constexpr int PayloadBits = 6;

} // namespace

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < AsciiEnd) {
            utf8 += c;
            continue;
        }
        utf8 += static_cast<char>(TwoByteLead | (byte >> PayloadBits));
        utf8 += static_cast<char>(Continuation | (byte & PayloadMask));
    }
    return utf8;
}

std::optional<std::string> Utf8ToLatin1(std::string_view utf8) {
    std::string latin1;
    latin1.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < AsciiEnd) {
            latin1 += utf8[i];
            continue;
        }
        // 0xC0 and 0xC1 would be overlong forms of ASCII; anything longer is beyond Latin-1.
        if (lead < TwoByteLead + 2 || lead > LastLatin1Lead || i + 1 == utf8.size())
            return std::nullopt;
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & ContinuationMask) != Continuation)
            return std::nullopt;
        latin1 +=
            static_cast<char>(((lead & LeadPayloadMask) << PayloadBits) | (next & PayloadMask));
    }
    return latin1;
}

} // namespace tarnwick
