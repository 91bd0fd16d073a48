// SckUDP: the one UDP endpoint, port 10021, broadcasting to 255.255.255.255.
#pragma once

#include "app/datagram_link.h"
#include "console/network_interfaces.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QUdpSocket>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The machine's interfaces as they are now.
std::vector<NetworkInterface> AllInterfaces();

// Received datagrams are handed on in time slices that leave the event loop free for repaints
// and clicks during a sweep of thousands of replies.
class UdpTransport : public QObject, public DatagramLink {
    Q_OBJECT
public:
    explicit UdpTransport(QObject* parent = nullptr);

    void Connect(DatagramHandler datagrams, AddressesHandler interfaceAddresses,
                 AddressesHandler hostAddresses) override;
    // Binds on first use (and after a failed bind) and broadcasts one datagram through every
    // interface that can carry it. What failed when it did not go out everywhere; the
    // interfaces that worked still got it.
    std::optional<std::string> Send(const std::string& message) override;
    int StateValue() const override;
    // The receive buffer the kernel granted after binding; 0 before.
    int ReceiveBufferSize() const { return receiveBufferSize_; }

private:
    std::optional<std::string> Bind();
    void ReadSlice();
    // Enumerated at most once per timer tick, so links that come and go are followed.
    const std::vector<NetworkInterface>& Interfaces();

    DatagramHandler handler_;
    AddressesHandler interfaceAddressesChanged_;
    std::vector<NetworkInterface> interfaces_;
    std::vector<std::string> interfaceAddresses_;
    QElapsedTimer enumerated_;
    QUdpSocket socket_;
    QByteArray buffer_;
    bool failed_ = false;
    bool reading_ = false;
    bool readQueued_ = false;
    int receiveBufferSize_ = 0;
    quint32 lastSender_ = 0;
    std::string lastSenderText_;
};

} // namespace tarnwick
