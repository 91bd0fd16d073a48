// Replies as units on one switch send them: back to back, at the pace of the console's link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kvqsim {

// What a frame takes on the wire beyond its UDP payload: Ethernet, IP and UDP headers, preamble
// and gap.
inline constexpr std::size_t FrameOverheadBytes = 66;

// Sends every datagram to `address` (host order) and `port` through the UDP socket
// `descriptor`, in as few system calls as the kernel takes, reading nothing in between; no
// faster than `linkMbps` when it is above 0. How many went out, in order.
std::size_t SendBurst(int descriptor, const std::vector<const std::string*>& datagrams,
                      std::uint32_t address, std::uint16_t port, int linkMbps);

} // namespace kvqsim
