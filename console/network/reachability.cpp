#include "console/network/reachability.h"

#include "console/network/ipv4_address.h"

#include <algorithm>

namespace tarnwick {

std::optional<std::string> UnreachableHint(std::string_view currentIp, std::string_view mask,
                                           const std::vector<Ipv4Subnet>& local) {
    const auto ip = ParseIpv4(currentIp);
    if (!ip)
        return std::nullopt;
    const bool onLocal = std::any_of(local.begin(), local.end(), [&](const Ipv4Subnet& subnet) {
        const auto address = ParseIpv4(subnet.address);
        return address &&
               NetworkOf(*address, subnet.prefixLength) == NetworkOf(*ip, subnet.prefixLength);
    });
    if (onLocal)
        return std::nullopt;
    const auto unitMask = ParseIpv4(mask);
    const int prefix = unitMask ? PrefixOfMask(*unitMask).value_or(Ipv4Bits) : Ipv4Bits;
    return "Not on this computer's networks (" + SubnetText(*ip, prefix) +
           ") \u2014 set its address to reach it";
}

} // namespace tarnwick
