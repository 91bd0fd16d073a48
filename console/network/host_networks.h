// This computer's networks: the addresses the console's own broadcasts come back from, and the
// subnets that decide which units it reaches.
#pragma once

#include "console/network/network_interfaces.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class HostNetworks {
public:
    // The addresses this computer's name resolves to, and its interfaces: both come with one event.
    void Set(std::vector<std::string> resolved, const std::vector<NetworkInterface>& interfaces);
    // Each address once, the resolved ones first.
    const std::vector<std::string>& LocalAddresses() const { return addresses_; }
    // Why a unit at `ip` with `mask` is out of reach; nothing when it is in reach, or while no
    // interface's subnet is known.
    std::optional<std::string> UnreachableHint(std::string_view ip, std::string_view mask) const;

private:
    std::vector<std::string> addresses_;
    std::vector<Ipv4Subnet> subnets_;
};

} // namespace tarnwick
