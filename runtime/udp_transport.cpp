#include "runtime/udp_transport.h"

#include "runtime/host_identity.h"

#include "console/network/ipv4_address.h"
#include "console/session/console_session.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>

#include <malloc.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>

namespace tarnwick {
namespace {

constexpr quint16 Port = ConstantsCommKVQWithKVQConsoleSetupPort;
// A sweep of thousands of units arrives in a burst; the kernel caps what it grants.
constexpr int WantedReceiveBuffer = 8 << 20;

bool IsSmall(int granted) {
    // The kernel reports twice what it was asked for; less than asked is an ordinary user's
    // net.core.rmem_max.
    return granted < WantedReceiveBuffer;
}

// Intake hands the loop back after this long, so repaints and clicks go on during a sweep.
constexpr int IntakeSliceMs = 5;
// How often a waiting list looks whether the burst is over, and how long it waits at most.
constexpr int BurstPollMs = 2;
constexpr qint64 LongestBurstWaitMs = 100;
// Held this much, the reader's freed batches are worth handing back to the system once drained.
constexpr std::size_t TrimAfterHeldBytes = 4u << 20;
// ... once the socket has been quiet this long.
constexpr int TrimQuietMs = 1000;
// How long after an identification request its replies are awaited awake.
constexpr auto ReplyBurstWindow = std::chrono::milliseconds(250);

} // namespace

std::vector<NetworkInterface> AllInterfaces() {
    std::vector<NetworkInterface> all;
    for (const QNetworkInterface& found : QNetworkInterface::allInterfaces()) {
        const auto flags = found.flags();
        NetworkInterface i;
        i.name = found.name().toStdString();
        i.index = found.index();
        i.up = flags.testFlag(QNetworkInterface::IsUp);
        i.running = flags.testFlag(QNetworkInterface::IsRunning);
        i.broadcast = flags.testFlag(QNetworkInterface::CanBroadcast);
        i.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        for (const QNetworkAddressEntry& entry : found.addressEntries())
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
                i.ipv4Addresses.push_back(entry.ip().toString().toStdString());
                i.ipv4PrefixLengths.push_back(entry.prefixLength());
            }
        all.push_back(std::move(i));
    }
    return all;
}

UdpTransport::UdpTransport(QObject* parent) : QObject(parent) {}

UdpTransport::~UdpTransport() = default;

void UdpTransport::Connect(Handlers handlers) {
    handlers_ = std::move(handlers);
    if (handlers_.hostAddresses)
        fGetHostIPAddresses(this, std::exchange(handlers_.hostAddresses, {}));
}

const std::vector<NetworkInterface>& UdpTransport::Interfaces() {
    if (enumerated_.isValid() && enumerated_.elapsed() < TimerOpenIntervalMs)
        return interfaces_;
    enumerated_.start();
    const std::vector<NetworkInterface> all = AllInterfaces();
    interfaces_ = BroadcastInterfaces(all);
    std::vector<std::string> addresses = InterfaceAddresses(all);
    if (addresses != interfaceAddresses_) {
        interfaceAddresses_ = std::move(addresses);
        if (handlers_.interfacesChanged)
            handlers_.interfacesChanged(all);
    }
    return interfaces_;
}

std::optional<std::string> UdpTransport::Bind() {
    // One reader per socket: the old one stops before its descriptor can be reused.
    reader_.reset();
    // No address sharing: no other program may take our replies.
    if (!socket_.bind(QHostAddress::AnyIPv4, Port, QUdpSocket::DontShareAddress)) {
        const QString error = socket_.errorString();
        socket_.abort();
        return tr("Binding UDP port %1 failed: %2").arg(Port).arg(error).toStdString();
    }
    const int descriptor = static_cast<int>(socket_.socketDescriptor());
    SizeReceiveBuffer(descriptor);
    // Each datagram then carries the count of those the full buffer turned away.
    const int on = 1;
    ::setsockopt(descriptor, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on);
    // The socket is read on the reader's thread only; Qt's notifier gives up after one signal
    // that nobody hears.
    reader_ = std::make_unique<DatagramReader>(descriptor, [this] {
        QMetaObject::invokeMethod(this, &UdpTransport::ReadSlice, Qt::QueuedConnection);
    });
    return std::nullopt;
}

void UdpTransport::SizeReceiveBuffer(int descriptor) {
    // The privileged option passes net.core.rmem_max; the ordinary one is cut to it.
    const int wanted = receiveBufferCap_ > 0 ? std::min(receiveBufferCap_, WantedReceiveBuffer)
                                             : WantedReceiveBuffer;
    if (receiveBufferCap_ > 0 ||
        ::setsockopt(descriptor, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) != 0)
        ::setsockopt(descriptor, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
    int granted = 0;
    socklen_t size = sizeof granted;
    if (::getsockopt(descriptor, SOL_SOCKET, SO_RCVBUF, &granted, &size) == 0)
        receiveBufferSize_ = granted;
}

std::optional<SendFailure> UdpTransport::Send(const std::string& message) {
    if (socket_.state() != QAbstractSocket::BoundState) {
        if (auto error = Bind()) {
            failed_ = true;
            return SendFailure{std::move(*error)};
        }
    }
    // Every unit answers an identification request at once: a small buffer needs its reader
    // awake for them.
    if (reader_ && IsSmall(receiveBufferSize_) && message == IdentificationRequest())
        reader_->ExpectBurst(ReplyBurstWindow);
    const QByteArray data(message.data(), static_cast<qsizetype>(message.size()));
    const std::vector<NetworkInterface>& targets = Interfaces();
    if (targets.empty()) {
        failed_ = true;
        return SendFailure{
            tr("No network interface is up: the request to %1 port %2 was not sent. Connect a "
               "cable or join a network; the console tries again with the next request.")
                .arg(ConstantsCommKVQWithKVQConsoleSetupBroadcastAddress)
                .arg(Port)
                .toStdString()};
    }
    // One interface failing keeps none of the others from getting the datagram.
    const std::size_t tried = targets.size();      // `targets` follows a new enumeration below
    std::vector<std::pair<int, QString>> failures; // interface index, what failed
    for (const NetworkInterface& target : targets) {
        QNetworkDatagram datagram(data, QHostAddress(QHostAddress::Broadcast), Port);
        datagram.setInterfaceIndex(static_cast<uint>(target.index));
        if (socket_.writeDatagram(datagram) != data.size())
            failures.emplace_back(target.index,
                                  tr("Sending to %1 port %2 through %3 failed: %4")
                                      .arg(ConstantsCommKVQWithKVQConsoleSetupBroadcastAddress)
                                      .arg(Port)
                                      .arg(QString::fromStdString(target.name))
                                      .arg(socket_.errorString()));
    }
    if (!failures.empty()) {
        // A link that went down since the last look is no failure: it is simply not used now.
        enumerated_.invalidate();
        const std::vector<NetworkInterface>& now = Interfaces();
        std::erase_if(failures, [&now](const auto& failure) {
            return std::none_of(now.begin(), now.end(), [&failure](const NetworkInterface& i) {
                return i.index == failure.first;
            });
        });
    }
    failed_ = !failures.empty();
    if (!failed_)
        return std::nullopt;
    QStringList errors;
    for (const auto& failure : failures)
        errors << failure.second;
    return SendFailure{errors.join('\n').toStdString(), failures.size() < tried};
}

void UdpTransport::ReadSlice() {
    // Never re-entered, whatever a handler does.
    if (reading_ || !reader_)
        return;
    // While a burst comes in, the reader needs the processor more than the list does: on a
    // machine with few cores, taking the datagrams now would leave the kernel's buffer to fill
    // and the loop to stall. The list waits for the end of the burst, but not for ever.
    if (reader_->Draining() &&
        (!burstWait_.isValid() || burstWait_.elapsed() < LongestBurstWaitMs)) {
        if (!burstWait_.isValid())
            burstWait_.start();
        if (!readQueued_) {
            readQueued_ = true;
            QTimer::singleShot(BurstPollMs, this, [this] {
                readQueued_ = false;
                ReadSlice();
            });
        }
        return;
    }
    burstWait_.invalidate();
    reading_ = true;
    // A new take only once the last one is done. A batch holds its room in the reader's bound
    // until it is popped here. An empty take re-arms the reader's wake-up.
    const auto takeWhenDone = [this] {
        if (!pending_.empty())
            return;
        mostHeld_ = std::max(mostHeld_, reader_->HeldBytes());
        for (DatagramBatch& batch : reader_->Take())
            pending_.push_back(std::move(batch));
    };
    takeWhenDone();
    QElapsedTimer slice;
    slice.start();
    while (!pending_.empty() && slice.elapsed() < IntakeSliceMs) {
        DatagramBatch& batch = pending_.front();
        if (batch.dropped != 0) {
            dropped_ += batch.dropped;
            if (handlers_.dropped)
                handlers_.dropped(std::exchange(batch.dropped, 0));
        }
        for (; next_ < batch.entries.size() && slice.elapsed() < IntakeSliceMs; ++next_) {
            const DatagramBatch::Entry& entry = batch.entries[next_];
            if (entry.sender != lastSender_ || lastSenderText_.empty()) {
                lastSender_ = entry.sender;
                lastSenderText_ = FormatIpv4(entry.sender);
            }
            if (handlers_.datagrams)
                handlers_.datagrams(std::string_view(batch.bytes).substr(entry.offset, entry.size),
                                    lastSenderText_);
        }
        if (next_ == batch.entries.size()) {
            pending_.pop_front();
            next_ = 0;
            takeWhenDone();
        }
    }
    if (handlers_.batchEnded)
        handlers_.batchEnded();
    reading_ = false;
    if (pending_.empty() && mostHeld_ >= TrimAfterHeldBytes && !trimQueued_) {
        trimQueued_ = true;
        QTimer::singleShot(TrimQuietMs, this, &UdpTransport::TrimWhenQuiet);
    }
    // Datagrams are left: hand the loop back for a moment and come back for them.
    if (!pending_.empty() && !readQueued_) {
        readQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            readQueued_ = false;
            ReadSlice();
        });
    }
}

void UdpTransport::TrimWhenQuiet() {
    trimQueued_ = false;
    // The allocator keeps the pages of a storm's or a big sweep's freed batches for itself. Not
    // while datagrams come: trimming holds the heap the reader allocates from.
    if (reader_ && (reader_->Draining() || !pending_.empty())) {
        trimQueued_ = true;
        QTimer::singleShot(TrimQuietMs, this, &UdpTransport::TrimWhenQuiet);
        return;
    }
    mostHeld_ = 0;
    ::malloc_trim(0);
}

SocketState UdpTransport::State() const {
    if (failed_)
        return SocketState::Error;
    switch (socket_.state()) {
    case QAbstractSocket::UnconnectedState:
        return SocketState::Closed;
    case QAbstractSocket::HostLookupState:
        return SocketState::ResolvingHost;
    case QAbstractSocket::ConnectingState:
        return SocketState::Connecting;
    case QAbstractSocket::ConnectedState:
        return SocketState::Connected;
    case QAbstractSocket::BoundState:
        return SocketState::Open;
    case QAbstractSocket::ListeningState:
        return SocketState::Listening;
    case QAbstractSocket::ClosingState:
        return SocketState::Disconnecting;
    }
    return SocketState::Error;
}

} // namespace tarnwick
