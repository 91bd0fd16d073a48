// Discovery at scale across the private test network: kvq-unit-sim answers one identification
// request with N replies at full speed, taken in turn by (a) a raw receiver that only counts
// datagrams and (b) the console's own UdpTransport feeding a ConsoleSession (intake and list
// update). Run through scripts/bench-discovery.sh.
#include "app/udp_transport.h"
#include "console/console_session.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "sim/sim_process.h"
#include "tests/support/recording_sink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUdpSocket>
#include <QVariant>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using kvqsim::WaitUntil;

constexpr quint16 Port = tarnwick::ConstantsCommKVQWithKVQConsoleSetupPort;
constexpr int WantedReceiveBuffer = 8 << 20;

// What one receiver made of one sweep: the simulator's datagrams only, not our own broadcasts.
struct Sweep {
    int datagrams = 0;
    int rows = 0;
    qint64 firstNs = 0;
    qint64 lastNs = 0;
    int buffer = 0;

    void Arrived(const QElapsedTimer& clock) {
        lastNs = clock.nsecsElapsed();
        if (datagrams++ == 0)
            firstNs = lastNs;
    }
    double Ms() const { return static_cast<double>(lastNs - firstNs) / 1e6; }
};

// Runs the loop until `units` datagrams are in or the line stays quiet for a second.
void Await(const Sweep& sweep, int units) {
    QElapsedTimer quiet;
    quiet.start();
    int seen = 0;
    WaitUntil(
        [&] {
            if (sweep.datagrams != seen) {
                seen = sweep.datagrams;
                quiet.restart();
            }
            return seen >= units || quiet.elapsed() > 1000;
        },
        60000);
}

[[noreturn]] void Fail(const QString& what) {
    std::fprintf(stderr, "bench_discovery: %s\n", qPrintable(what));
    std::exit(1);
}

Sweep Raw(int units, const QString& simAddress) {
    Sweep sweep;
    QElapsedTimer clock;
    clock.start();
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::AnyIPv4, Port))
        Fail("cannot bind: " + socket.errorString());
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                           QVariant(WantedReceiveBuffer));
    sweep.buffer = socket.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
    const QHostAddress sim(simAddress);
    QByteArray buffer(65536, Qt::Uninitialized);
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        QHostAddress sender;
        while (socket.readDatagram(buffer.data(), buffer.size(), &sender) >= 0)
            if (sender == sim)
                sweep.Arrived(clock);
    });
    const std::string request = tarnwick::IdentificationRequest();
    socket.writeDatagram(request.data(), static_cast<qint64>(request.size()),
                         QHostAddress(QHostAddress::Broadcast), Port);
    Await(sweep, units);
    return sweep;
}

Sweep Transport(int units, const QString& simAddress) {
    Sweep sweep;
    QElapsedTimer clock;
    clock.start();
    tarnwick::test::RecordingSink sink;
    tarnwick::ConsoleSession session(sink, false);
    const std::string sim = simAddress.toStdString();
    tarnwick::UdpTransport transport;
    transport.Connect(
        [&](std::string_view bytes, std::string_view sender) {
            if (sender == sim)
                sweep.Arrived(clock);
            session.TakeDatagram(bytes, sender);
        },
        [&](std::vector<std::string> addresses) {
            session.SetInterfaceAddresses(std::move(addresses));
        },
        {});
    if (const auto failed = transport.Send(tarnwick::IdentificationRequest()))
        Fail(QString::fromStdString(*failed));
    sweep.buffer = transport.ReceiveBufferSize();
    Await(sweep, units);
    sweep.rows = session.UnitCount();
    return sweep;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (const QString missing = kvqsim::MissingTestNetworkReason(); !missing.isEmpty())
        Fail(missing);
    const QString simAddress = qEnvironmentVariable("TW_ADDR_A");
    constexpr int Rounds = 3;
    std::printf("%8s %5s | %-28s | %-38s | %s\n", "N", "round", "raw receiver",
                "UdpTransport + ConsoleSession", "transport/raw");
    Sweep last;
    for (const int units : {1000, 10000}) {
        kvqsim::SimProcess sim;
        QString error;
        if (!sim.Start({"--count", QString::number(units), "--no-reply-log"}, error))
            Fail(error);
        for (int round = 1; round <= Rounds; ++round) {
            const Sweep raw = Raw(units, simAddress);
            last = Transport(units, simAddress);
            std::printf(
                "%8d %5d | %6d datagrams %8.2f ms | %6d datagrams %6d rows %8.2f ms | %5.2f\n",
                units, round, raw.datagrams, raw.Ms(), last.datagrams, last.rows, last.Ms(),
                raw.Ms() > 0 ? last.Ms() / raw.Ms() : 0.0);
        }
    }
    std::printf("receive buffer granted: %d bytes\n", last.buffer);
    return 0;
}
