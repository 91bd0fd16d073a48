#include "app/udp_transport.h"

#include "protocol/constants.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTimer>
#include <QVariant>

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

} // namespace

UdpTransport::UdpTransport(DatagramHandler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), buffer_(LargestDatagram, Qt::Uninitialized) {
    connect(&socket_, &QUdpSocket::readyRead, this, &UdpTransport::ReadSlice);
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
    if (socket_.writeDatagram(data, QHostAddress(QHostAddress::Broadcast), Port) != data.size()) {
        failed_ = true;
        return tr("Sending to %1 port %2 failed: %3")
            .arg(ConstantsCommKVQWithKVQConsoleSetupBroadcastAddress)
            .arg(Port)
            .arg(socket_.errorString())
            .toStdString();
    }
    failed_ = false;
    return std::nullopt;
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
