#include "tests/e2e/discovery_probe.h"

#include "protocol/constants.h"

#include <QCoreApplication>
#include <QNetworkInterface>
#include <QVariant>

namespace tarnwick::test {
namespace {

constexpr int WantedReceiveBuffer = 8 << 20;
constexpr quint16 Port = ConstantsCommKVQWithKVQConsoleSetupPort;

} // namespace

DiscoveryProbe::DiscoveryProbe(Mode mode) : mode_(mode), buffer_(65536, Qt::Uninitialized) {
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            localAddresses_.push_back(address.toString().toStdString());
    session_.SetLocalAddresses(localAddresses_);
    connect(&socket_, &QUdpSocket::readyRead, this, &DiscoveryProbe::ReadPending);
    clock_.start();
}

bool DiscoveryProbe::Bind(QString& error) {
    if (!socket_.bind(QHostAddress::AnyIPv4, Port)) {
        error = socket_.errorString();
        return false;
    }
    socket_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                            QVariant(WantedReceiveBuffer));
    return true;
}

int DiscoveryProbe::ReceiveBufferSize() {
    return socket_.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
}

bool DiscoveryProbe::Broadcast(const std::string& bytes) {
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return socket_.writeDatagram(data, QHostAddress(QHostAddress::Broadcast), Port) == data.size();
}

void DiscoveryProbe::ReadPending() {
    // readDatagram alone: asking hasPendingDatagrams first costs a second system call.
    for (;;) {
        QHostAddress sender;
        const qint64 size = socket_.readDatagram(buffer_.data(), buffer_.size(), &sender);
        if (size < 0)
            break;
        Take(std::string_view(buffer_.constData(), static_cast<std::size_t>(size)), sender);
    }
}

void DiscoveryProbe::Take(std::string_view bytes, const QHostAddress& sender) {
    const quint32 ip = sender.toIPv4Address();
    if (ip != lastSender_ || lastSenderText_.empty()) {
        lastSender_ = ip;
        lastSenderText_ = sender.toString().toStdString();
    }
    const bool own = std::find(localAddresses_.begin(), localAddresses_.end(), lastSenderText_) !=
                     localAddresses_.end();
    if (own)
        return;
    const qint64 now = clock_.nsecsElapsed();
    if (datagrams_++ == 0)
        firstNs_ = now;
    lastNs_ = now;
    if (mode_ == Mode::CountOnly)
        return;

    switch (session_.TakeDatagram(bytes, lastSenderText_)) {
    case IntakeResult::IdentificationReply:
        ++identificationReplies_;
        break;
    case IntakeResult::InvalidChangeReply:
        ++invalidChangeReplies_;
        break;
    case IntakeResult::ChangeReply:
    case IntakeResult::Dropped:
    case IntakeResult::Message:
        // Every report is kept: the box of a real window would have been closed by now.
        session_.MessageClosed(MessageOrigin::Intake);
        break;
    }
}

} // namespace tarnwick::test
