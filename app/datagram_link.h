// Where the window meets the wire: the real UDP transport in the program, a loopback in tests.
// One interface, so a window can never be given half of one.
#pragma once

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

    virtual ~DatagramLink() = default;

    // Every received datagram goes to `datagrams`; `interfaceAddresses` hears the addresses of
    // the machine's interfaces whenever they change, `hostAddresses` those its name resolves to,
    // when the resolver answers. The console's own broadcasts come back from all of these. Set
    // once, before the first Send.
    virtual void Connect(DatagramHandler datagrams, AddressesHandler interfaceAddresses,
                         AddressesHandler hostAddresses) = 0;
    // Broadcasts one datagram; what failed, in words (UTF-8), when it did not go out.
    virtual std::optional<std::string> Send(const std::string& datagram) = 0;
    // The socket state as the caption numbers it: 0 closed, 1 open, ... 9 error.
    virtual int StateValue() const = 0;
};

} // namespace tarnwick
