#include "console/network/network_interfaces.h"

#include <algorithm>

namespace tarnwick {

std::vector<NetworkInterface> BroadcastInterfaces(const std::vector<NetworkInterface>& all) {
    std::vector<NetworkInterface> usable;
    std::copy_if(all.begin(), all.end(), std::back_inserter(usable), [](const NetworkInterface& i) {
        return i.up && i.running && i.broadcast && !i.loopback && !i.ipv4Addresses.empty();
    });
    return usable;
}

std::vector<std::string> InterfaceAddresses(const std::vector<NetworkInterface>& all) {
    std::vector<std::string> addresses;
    for (const NetworkInterface& i : all)
        for (const std::string& address : i.ipv4Addresses)
            if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
                addresses.push_back(address);
    return addresses;
}

std::vector<Ipv4Subnet> UpSubnets(const std::vector<NetworkInterface>& all) {
    std::vector<Ipv4Subnet> subnets;
    for (const NetworkInterface& i : all)
        for (std::size_t n = 0;
             i.up && n < i.ipv4Addresses.size() && n < i.ipv4PrefixLengths.size(); ++n)
            subnets.push_back({i.ipv4Addresses[n], i.ipv4PrefixLengths[n]});
    return subnets;
}

} // namespace tarnwick
