// Reading the console's requests, as a unit does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvqsim {

struct Request {
    int functionCode = 0;
    int messageClass = 0;
    std::string version;
    std::uint16_t filterMask = 0;
    std::uint16_t changeMask = 0;
    std::vector<std::pair<int, std::string>> identificationItems; // one per FilterMask bit
    std::vector<std::pair<int, std::string>> changeItems;         // one per ChangeMask bit
};

// A datagram with command bits 0x41 and a readable data part; nothing otherwise, with the
// reason in `error` (empty for datagrams that are simply not requests).
std::optional<Request> DecodeRequest(std::string_view bytes, std::string& error);

} // namespace kvqsim
