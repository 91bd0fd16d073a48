// The addresses the units would have once their pending changes are applied, and what is wrong
// with them.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

// One listed unit's cells (Latin-1) as Apply would leave them.
struct UnitAddresses {
    std::string mac;
    std::string currentIp;
    std::string savedIp;
    std::string mask;
    std::string gateway;
    std::string dns;
    bool dhcp = false;    // its address comes from a server: its saved one is not in use
    bool pending = false; // it has a change that Apply would send
};

// One readable line (UTF-8) per problem, naming the units by MAC address and the values. Only
// problems that touch a unit with a pending change count: Apply does not make the others.
// `hostAddresses` are this computer's own (dotted text).
std::vector<std::string> AddressProblems(const std::vector<UnitAddresses>& units,
                                         const std::vector<std::string>& hostAddresses);

} // namespace tarnwick
