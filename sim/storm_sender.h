// A switching loop: one unit's reply repeated as fast as the console's link carries it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kvqsim {

struct StormFigures {
    std::uint64_t sent = 0; // frames handed to the link
    double seconds = 0;
};

// Broadcasts `datagram` from the first broadcasting interface's address and `port` to
// 255.255.255.255 `port`, over and over for `seconds`, no faster than `linkMbps` when it is above
// 0. Sent as Ethernet frames (a raw socket, so root): a loop repeats frames, and this host's own
// stack, the units' sockets included, never sees them. `started` runs just before the first frame;
// nullopt and `error` when it cannot start.
std::optional<StormFigures> SendStorm(const std::string& datagram, std::uint16_t port, int seconds,
                                      int linkMbps, const std::function<void()>& started,
                                      std::string& error);

// The storm on the console's port, with a JSON line for its start and one for the frames it
// sent; what failed when it could not start.
std::optional<std::string> RunStorm(const std::string& reply, int seconds, int linkMbps,
                                    const std::function<void(const std::string&)>& log);

} // namespace kvqsim
