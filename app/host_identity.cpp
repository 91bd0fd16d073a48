#include "app/host_identity.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace tarnwick {

std::string fOSMachineName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

std::vector<std::string> fGetHostIPAddresses(const std::string& hostName) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM; // one entry per address, not one per socket type
    addrinfo* found = nullptr;
    if (getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0)
        return {};
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, freeaddrinfo);
    std::vector<std::string> addresses;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        char text[INET_ADDRSTRLEN] = {};
        if (!inet_ntop(AF_INET, &address->sin_addr, text, sizeof text))
            continue;
        if (std::find(addresses.begin(), addresses.end(), text) == addresses.end())
            addresses.emplace_back(text);
    }
    return addresses;
}

HostIdentity LocalHostIdentity() {
    HostIdentity identity;
    identity.name = fOSMachineName();
    identity.addresses = fGetHostIPAddresses(identity.name);
    return identity;
}

} // namespace tarnwick
