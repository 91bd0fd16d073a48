// A headless stand-in for the console: broadcasts requests and takes replies through
// intake and the list update, as the window does.
#pragma once

#include "console/console_session.h"
#include "tests/e2e/sim_process.h"
#include "tests/support/recording_sink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QUdpSocket>

#include <functional>
#include <string>
#include <vector>

namespace tarnwick::test {

class DiscoveryProbe : public QObject {
public:
    enum class Mode { Intake, CountOnly };

    explicit DiscoveryProbe(Mode mode = Mode::Intake);

    // Binds port 10021 on every IPv4 address; the error text when it cannot.
    bool Bind(QString& error);
    // The receive buffer the kernel granted, in bytes.
    int ReceiveBufferSize();
    bool Broadcast(const std::string& bytes);

    bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
        return test::WaitUntil(done, timeoutMs);
    }

    const UnitTable& Table() const { return session_.Units(); }
    const std::vector<MessageReport>& Reports() const { return sink_.reports; }
    int Datagrams() const { return datagrams_; }
    int IdentificationReplies() const { return identificationReplies_; }
    int InvalidChangeReplies() const { return invalidChangeReplies_; }
    // Nanoseconds from the first to the last datagram received (own broadcasts excluded).
    qint64 FirstToLastNs() const { return lastNs_ - firstNs_; }

private:
    void ReadPending();
    void Take(std::string_view bytes, const QHostAddress& sender);

    Mode mode_;
    QUdpSocket socket_;
    std::vector<std::string> localAddresses_;
    RecordingSink sink_;
    ConsoleSession session_{sink_, false};
    int datagrams_ = 0;
    int identificationReplies_ = 0;
    int invalidChangeReplies_ = 0;
    QElapsedTimer clock_;
    qint64 firstNs_ = 0;
    qint64 lastNs_ = 0;
    quint32 lastSender_ = 0;
    std::string lastSenderText_;
    QByteArray buffer_;
};

} // namespace tarnwick::test
