// Whether this computer can reach a unit at its current address without a router.
#pragma once

#include "console/network/network_interfaces.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The hint (UTF-8) for a unit whose current IP lies outside every one of `local`; nothing when
// it lies in one or its address is not known. The subnet named is the unit's own, from its
// mask; without a usable mask, the address alone (/32).
std::optional<std::string> UnreachableHint(std::string_view currentIp, std::string_view mask,
                                           const std::vector<Ipv4Subnet>& local);

} // namespace tarnwick
