// Which of the machine's network interfaces carry the console's broadcasts.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

struct NetworkInterface {
    std::string name;
    int index = 0;
    bool up = false;
    bool running = false;
    bool broadcast = false;
    bool loopback = false;
    std::vector<std::string> ipv4Addresses; // dotted text
    // The prefix length of each address above, in the same order; shorter when not known.
    std::vector<int> ipv4PrefixLengths{};
    bool operator==(const NetworkInterface&) const = default;
};

// A limited broadcast leaves through one interface only, the one the routing table picks; the
// console sends each request once through every interface that can carry it: up, running,
// broadcast-capable, not loopback, with an IPv4 address.
std::vector<NetworkInterface> BroadcastInterfaces(const std::vector<NetworkInterface>& all);

// Every IPv4 address of every interface, in order, each once: the console's own broadcasts
// come back from these.
std::vector<std::string> InterfaceAddresses(const std::vector<NetworkInterface>& all);

struct Ipv4Subnet {
    std::string address; // dotted text
    int prefixLength = 0;
    bool operator==(const Ipv4Subnet&) const = default;
};

// The subnets of the interfaces that are up, where their prefix lengths are known.
std::vector<Ipv4Subnet> UpSubnets(const std::vector<NetworkInterface>& all);

} // namespace tarnwick
