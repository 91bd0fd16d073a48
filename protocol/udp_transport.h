// SckUDP: the one UDP endpoint, port 10021, broadcasting to 255.255.255.255.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QUdpSocket>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

class UdpTransport : public QObject {
    Q_OBJECT
public:
    using DatagramHandler = std::function<void(std::string_view bytes, std::string_view sender)>;

    explicit UdpTransport(QObject* parent = nullptr);

    // Binds on first use (and after a failed bind) and broadcasts one datagram.
    // The failed step, in words, when it did not go out.
    std::optional<QString> Send(const std::string& message);

    // Hands up to `maxDatagrams` waiting datagrams to `handler`; false once none is left.
    bool ReadSome(const DatagramHandler& handler, int maxDatagrams);

    // The socket state as the caption numbers it: 0 closed, 1 open, ... 9 error.
    int StateValue() const;
    // The receive buffer the kernel granted after binding; 0 before.
    int ReceiveBufferSize() const { return receiveBufferSize_; }

signals:
    void readyRead();

private:
    std::optional<QString> Bind();

    QUdpSocket socket_;
    QByteArray buffer_;
    bool failed_ = false;
    int receiveBufferSize_ = 0;
    quint32 lastSender_ = 0;
    std::string lastSenderText_;
};

} // namespace tarnwick
