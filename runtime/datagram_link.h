// Where the window meets the wire: the real UDP transport in the program, a loopback in tests.
// One interface, so a window can never be given half of one.
#pragma once

#include "console/network/network_interfaces.h"
#include "console/session/session_listener.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class DatagramLink {
public:
    using DatagramHandler = std::function<void(std::string_view bytes, std::string_view sender)>;
    using AddressesHandler = std::function<void(std::vector<std::string> addresses)>;

    // What the link tells its owner. The console's own broadcasts come back through all of them.
    struct Handlers {
        // Every received datagram, in arrival order.
        DatagramHandler datagrams;
        // After the datagrams taken in one turn of the event loop.
        std::function<void()> batchEnded;
        // Datagrams the receive buffer had no room for, as soon as they are known.
        std::function<void(std::uint32_t count)> dropped;
        // The machine's interfaces, whenever their addresses change.
        std::function<void(const std::vector<NetworkInterface>& all)> interfacesChanged;
        // Those its name resolves to, when the resolver answers.
        AddressesHandler hostAddresses;
    };

    virtual ~DatagramLink() = default;

    // Set once, before the first Send; any handler may be left empty.
    virtual void Connect(Handlers handlers) = 0;
    // Broadcasts one datagram; what failed, when it did not go out everywhere.
    virtual std::optional<SendFailure> Send(const std::string& datagram) = 0;
    virtual SocketState State() const = 0;
};

} // namespace tarnwick
