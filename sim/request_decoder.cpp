#include "sim/request_decoder.h"

#include "protocol/constants.h"
#include "protocol/hex_text.h"

#include <bit>

namespace kvqsim {
namespace {

using namespace tarnwick;

class Cursor {
public:
    Cursor(std::string_view bytes, std::size_t p) : bytes_(bytes), p_(p) {}

    bool Hex(std::size_t digits, std::uint32_t& value) {
        value = 0;
        for (std::size_t i = 0; i < digits; ++i, ++p_)
            if (p_ >= bytes_.size() ||
                !AppendHexDigit(value, static_cast<unsigned char>(bytes_[p_]), 0xFFFF))
                return false;
        return true;
    }

    bool UntilNul(std::string& text) {
        const auto nul = bytes_.find('\0', p_);
        if (nul == std::string_view::npos)
            return false;
        text.assign(bytes_.substr(p_, nul - p_));
        p_ = nul + 1;
        return true;
    }

    bool Item(std::pair<int, std::string>& item) {
        const auto colon = bytes_.find(':', p_);
        if (colon == std::string_view::npos)
            return false;
        std::uint32_t field = 0;
        if (!Hex(colon - p_, field))
            return false;
        item.first = static_cast<int>(field);
        ++p_;
        return UntilNul(item.second);
    }

    bool AtEnd() const { return p_ >= bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t p_;
};

bool ReadItems(Cursor& cursor, std::uint16_t mask, std::vector<std::pair<int, std::string>>& out,
               std::string& error) {
    for (int i = 0; i < std::popcount(mask); ++i) {
        std::pair<int, std::string> item;
        if (!cursor.Item(item)) {
            error = "item " + std::to_string(i + 1) + " unreadable";
            return false;
        }
        out.push_back(std::move(item));
    }
    return true;
}

} // namespace

std::optional<Request> DecodeRequest(std::string_view bytes, std::string& error) {
    error.clear();
    if (bytes.size() < FieldLengthHeader ||
        static_cast<unsigned char>(bytes[MessageFieldsStartPositionsCommandBits]) !=
            CommandBitsRequest)
        return std::nullopt;
    const auto byte = [bytes](std::size_t at) -> std::size_t {
        return static_cast<unsigned char>(bytes[at]);
    };
    const std::size_t length = byte(17) | (byte(18) << 8);
    if (length + MessageFieldsStartPositionsFunctionCode != bytes.size()) {
        error = "MessageLength " + std::to_string(length) + " does not match " +
                std::to_string(bytes.size()) + " bytes";
        return std::nullopt;
    }
    Request request;
    request.functionCode =
        static_cast<unsigned char>(bytes[MessageFieldsStartPositionsFunctionCode]);
    request.messageClass =
        static_cast<unsigned char>(bytes[MessageFieldsStartPositionsMessageClass]);
    if (bytes.size() == FieldLengthHeader)
        return request;

    Cursor cursor(bytes.substr(0, bytes.size()), MessageFieldsStartPositionsData);
    std::uint32_t width = 0, filter = 0, change = 0;
    if (!cursor.UntilNul(request.version) || !cursor.Hex(2, width) || !cursor.Hex(width, filter) ||
        !cursor.Hex(width, change)) {
        error = "version, width or masks unreadable";
        return std::nullopt;
    }
    request.filterMask = static_cast<std::uint16_t>(filter);
    request.changeMask = static_cast<std::uint16_t>(change);
    if (!ReadItems(cursor, request.filterMask, request.identificationItems, error) ||
        !ReadItems(cursor, request.changeMask, request.changeItems, error))
        return std::nullopt;
    if (!cursor.AtEnd()) {
        error = "bytes left after the items";
        return std::nullopt;
    }
    return request;
}

} // namespace kvqsim
