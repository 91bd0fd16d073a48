// The local computer name and the IPv4 addresses it resolves to: the console's own
// broadcasts come back from these and are dropped.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

struct HostIdentity {
    std::string name;
    std::vector<std::string> addresses; // dotted text, in resolver order
};

// The computer name, or empty when it cannot be read.
std::string fOSMachineName();

// The IPv4 addresses `hostName` resolves to, in resolver order; empty when it does not.
std::vector<std::string> fGetHostIPAddresses(const std::string& hostName);

HostIdentity LocalHostIdentity();

} // namespace tarnwick
