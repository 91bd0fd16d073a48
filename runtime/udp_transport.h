// SckUDP: the one UDP endpoint, port 10021, broadcasting to 255.255.255.255.
#pragma once

#include "console/network/network_interfaces.h"
#include "runtime/datagram_link.h"
#include "runtime/datagram_reader.h"

#include <QElapsedTimer>
#include <QObject>
#include <QUdpSocket>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The machine's network interfaces as they are now.
std::vector<NetworkInterface> AllInterfaces();

// A reader thread drains the socket as fast as datagrams come; this thread hands them on in time
// slices that leave the event loop free for repaints and clicks during a sweep of thousands.
class UdpTransport : public QObject, public DatagramLink {
    Q_OBJECT
public:
    // What an ordinary desktop grants a program that asks for more (net.core.rmem_max).
    static constexpr int StockReceiveBuffer = 212992;

    explicit UdpTransport(QObject* parent = nullptr);
    ~UdpTransport() override;

    void Connect(Handlers handlers) override;
    // Binds on first use (and after a failed bind) and broadcasts one datagram through every
    // interface that can carry it. What failed when it did not go out everywhere; the
    // interfaces that worked still got it.
    std::optional<SendFailure> Send(const std::string& message) override;
    SocketState State() const override;
    // The receive buffer the kernel granted after binding; 0 before.
    int ReceiveBufferSize() const { return receiveBufferSize_; }
    // Asks for at most `bytes` of receive buffer, as a program without privileges does: how a
    // stock desktop behaves, for benchmarks and tests. Before the first Send.
    void CapReceiveBuffer(int bytes) { receiveBufferCap_ = bytes; }
    // Datagrams lost so far to a full receive buffer.
    std::uint64_t DroppedDatagrams() const { return dropped_; }

private:
    std::optional<std::string> Bind();
    void SizeReceiveBuffer(int descriptor);
    void ReadSlice();
    void TrimWhenQuiet();
    // Enumerated at most once per timer tick, so links that come and go are followed.
    const std::vector<NetworkInterface>& Interfaces();

    Handlers handlers_;
    std::vector<NetworkInterface> interfaces_;
    std::vector<std::string> interfaceAddresses_;
    QElapsedTimer enumerated_;
    QUdpSocket socket_;
    // Goes before the socket it reads.
    std::unique_ptr<DatagramReader> reader_;
    // Taken from the reader, not yet handed on; `next_` is the first entry of the front batch.
    std::deque<DatagramBatch> pending_;
    std::size_t next_ = 0;
    std::size_t mostHeld_ = 0; // the most the reader held since the heap was last trimmed
    bool trimQueued_ = false;
    std::uint64_t dropped_ = 0;
    bool failed_ = false;
    bool reading_ = false;
    bool readQueued_ = false;
    QElapsedTimer burstWait_; // since the list began to wait for a burst's end
    int receiveBufferSize_ = 0;
    int receiveBufferCap_ = 0;
    quint32 lastSender_ = 0;
    std::string lastSenderText_;
};

} // namespace tarnwick
