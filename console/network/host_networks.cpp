#include "console/network/host_networks.h"

#include "console/network/reachability.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

void HostNetworks::Set(std::vector<std::string> resolved,
                       const std::vector<NetworkInterface>& interfaces) {
    addresses_ = std::move(resolved);
    for (const std::string& address : InterfaceAddresses(interfaces))
        if (std::find(addresses_.begin(), addresses_.end(), address) == addresses_.end())
            addresses_.push_back(address);
    subnets_ = UpSubnets(interfaces);
}

std::optional<std::string> HostNetworks::UnreachableHint(std::string_view ip,
                                                         std::string_view mask) const {
    if (subnets_.empty())
        return std::nullopt;
    return tarnwick::UnreachableHint(ip, mask, subnets_);
}

} // namespace tarnwick
