#include "app/udp_transport.h"

#include "app/host_identity.h"

#include "console/console_session.h"
#include "protocol/constants.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QVariant>

#include <algorithm>

namespace tarnwick {
namespace {

constexpr quint16 Port = ConstantsCommKVQWithKVQConsoleSetupPort;
// A sweep of thousands of units arrives in a burst; the kernel caps what it grants.
constexpr int WantedReceiveBuffer = 8 << 20;
constexpr qsizetype LargestDatagram = 65536;
// Intake hands the loop back after this long, so repaints and clicks go on during a sweep.
constexpr int IntakeSliceMs = 8;
constexpr int IntakeBatch = 32;

enum SocketStateValue {
    SocketStateClosed = 0,
    SocketStateOpen = 1,
    SocketStateListening = 2,
    SocketStateResolvingHost = 4,
    SocketStateConnecting = 6,
    SocketStateConnected = 7,
    SocketStateDisconnecting = 8,
    SocketStateError = 9,
};

std::vector<NetworkInterface> ReadInterfaces() {
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

} // namespace

std::vector<NetworkInterface> AllInterfaces() {
    return ReadInterfaces();
}

UdpTransport::UdpTransport(QObject* parent)
    : QObject(parent), buffer_(LargestDatagram, Qt::Uninitialized) {
    connect(&socket_, &QUdpSocket::readyRead, this, &UdpTransport::ReadSlice);
}

void UdpTransport::Connect(DatagramHandler datagrams, AddressesHandler interfaceAddresses,
                           AddressesHandler hostAddresses) {
    handler_ = std::move(datagrams);
    interfaceAddressesChanged_ = std::move(interfaceAddresses);
    if (hostAddresses)
        fGetHostIPAddresses(this, std::move(hostAddresses));
}

const std::vector<NetworkInterface>& UdpTransport::Interfaces() {
    if (enumerated_.isValid() && enumerated_.elapsed() < TimerOpenIntervalMs)
        return interfaces_;
    enumerated_.start();
    const std::vector<NetworkInterface> all = ReadInterfaces();
    interfaces_ = BroadcastInterfaces(all);
    std::vector<std::string> addresses = InterfaceAddresses(all);
    if (addresses != interfaceAddresses_) {
        interfaceAddresses_ = addresses;
        if (interfaceAddressesChanged_)
            interfaceAddressesChanged_(std::move(addresses));
    }
    return interfaces_;
}

std::optional<std::string> UdpTransport::Bind() {
    // No address sharing: no other program may take our replies.
    if (!socket_.bind(QHostAddress::AnyIPv4, Port, QUdpSocket::DontShareAddress)) {
        const QString error = socket_.errorString();
        socket_.abort();
        return tr("Binding UDP port %1 failed: %2").arg(Port).arg(error).toStdString();
    }
    // Only a bound socket takes the option.
    socket_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                            QVariant(WantedReceiveBuffer));
    receiveBufferSize_ =
        socket_.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
    return std::nullopt;
}

std::optional<std::string> UdpTransport::Send(const std::string& message) {
    if (socket_.state() != QAbstractSocket::BoundState) {
        if (auto error = Bind()) {
            failed_ = true;
            return error;
        }
    }
    const QByteArray data(message.data(), static_cast<qsizetype>(message.size()));
    const std::vector<NetworkInterface>& targets = Interfaces();
    if (targets.empty()) {
        failed_ = true;
        return tr("No network interface is up: the request to %1 port %2 was not sent. Connect a "
                  "cable or join a network; the console tries again with the next request.")
            .arg(ConstantsCommKVQWithKVQConsoleSetupBroadcastAddress)
            .arg(Port)
            .toStdString();
    }
    // One interface failing keeps none of the others from getting the datagram.
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
    return errors.join('\n').toStdString();
}

void UdpTransport::ReadSlice() {
    // Never re-entered, whatever a handler does.
    if (reading_)
        return;
    reading_ = true;
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    while (more && slice.elapsed() < IntakeSliceMs) {
        for (int i = 0; i < IntakeBatch; ++i) {
            // readDatagram alone: asking hasPendingDatagrams first costs a second system call.
            QHostAddress sender;
            const qint64 size = socket_.readDatagram(buffer_.data(), buffer_.size(), &sender);
            if (size < 0) {
                more = false;
                break;
            }
            const quint32 ip = sender.toIPv4Address();
            if (ip != lastSender_ || lastSenderText_.empty()) {
                lastSender_ = ip;
                lastSenderText_ = sender.toString().toStdString();
            }
            if (handler_)
                handler_(std::string_view(buffer_.constData(), static_cast<std::size_t>(size)),
                         lastSenderText_);
        }
    }
    reading_ = false;
    // Datagrams are left: hand the loop back for a moment and come back for them.
    if (more && !readQueued_) {
        readQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            readQueued_ = false;
            ReadSlice();
        });
    }
}

int UdpTransport::StateValue() const {
    if (failed_)
        return SocketStateError;
    switch (socket_.state()) {
    case QAbstractSocket::UnconnectedState:
        return SocketStateClosed;
    case QAbstractSocket::HostLookupState:
        return SocketStateResolvingHost;
    case QAbstractSocket::ConnectingState:
        return SocketStateConnecting;
    case QAbstractSocket::ConnectedState:
        return SocketStateConnected;
    case QAbstractSocket::BoundState:
        return SocketStateOpen;
    case QAbstractSocket::ListeningState:
        return SocketStateListening;
    case QAbstractSocket::ClosingState:
        return SocketStateDisconnecting;
    }
    return SocketStateError;
}

} // namespace tarnwick
