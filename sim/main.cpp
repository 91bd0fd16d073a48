// kvq-unit-sim: emulates any number of KVQ units on UDP port 10021.
#include "protocol/constants.h"
#include "sim/burst_sender.h"
#include "sim/json_line.h"
#include "sim/storm_sender.h"
#include "sim/unit_responder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <fstream>
#include <iostream>
#include <random>

namespace {

using namespace kvqsim;

struct SendOptions {
    bool unicast = false;
    int delayMs = 0;
    double dropShare = 0.0;
    bool logReplies = true;
    bool burst = false;
    int linkMbps = 1000; // the console's link; 0: as fast as this machine sends
};

class Simulator : public QObject {
public:
    Simulator(UnitResponder responder, SendOptions send, std::uint32_t seed)
        : responder_(std::move(responder)), send_(send), rng_(seed) {
        connect(&socket_, &QUdpSocket::readyRead, this, &Simulator::ReadAll);
    }

    bool Bind() {
        if (!socket_.bind(QHostAddress::AnyIPv4,
                          tarnwick::ConstantsCommKVQWithKVQConsoleSetupPort)) {
            std::cerr << "kvq-unit-sim: cannot bind UDP port 10021: "
                      << socket_.errorString().toStdString() << '\n';
            return false;
        }
        socket_.setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, QVariant(4 << 20));
        // Broadcast replies come back to us too: room for them, so a request is not crowded out
        // (a burst of ten thousand reads none back until it is out). Past net.core.rmem_max
        // where we may.
        const int room = 32 << 20;
        const int descriptor = static_cast<int>(socket_.socketDescriptor());
        if (::setsockopt(descriptor, SOL_SOCKET, SO_RCVBUFFORCE, &room, sizeof room) != 0)
            socket_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(room));
        Emit(JsonLine()
                 .Add("event", "started")
                 .Add("units", static_cast<int>(responder_.Units().size()))
                 .Add("port", static_cast<int>(tarnwick::ConstantsCommKVQWithKVQConsoleSetupPort))
                 .Text());
        std::cout.flush();
        return true;
    }

private:
    void ReadAll() {
        // Handling a request may drain the socket (see Drain); never re-entered.
        if (reading_)
            return;
        reading_ = true;
        for (;;) {
            QNetworkDatagram datagram;
            if (!waiting_.empty()) {
                datagram = std::move(waiting_.front());
                waiting_.pop_front();
            } else if (socket_.hasPendingDatagrams()) {
                datagram = socket_.receiveDatagram();
            } else {
                break;
            }
            Take(datagram);
        }
        reading_ = false;
        std::cout.flush();
    }

    void Take(const QNetworkDatagram& datagram) {
        const QByteArray bytes = datagram.data();
        const std::string sender = datagram.senderAddress().toString().toStdString();
        Response response = responder_.Handle(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), sender,
            datagram.senderPort());
        for (const auto& line : response.events)
            Emit(line);
        const QHostAddress target =
            send_.unicast ? datagram.senderAddress() : QHostAddress(QHostAddress::Broadcast);
        if (send_.delayMs > 0)
            QTimer::singleShot(send_.delayMs, this,
                               [this, replies = std::move(response.replies), target]() {
                                   SendAll(replies, target);
                               });
        else
            SendAll(response.replies, target);
    }

    // Our own broadcast replies come back to us. During a sweep of thousands they would fill the
    // receive buffer and crowd out the next request, so they are read as we go: replies (ours or
    // other units') are dropped, the consoles' requests wait their turn.
    void Drain() {
        // readDatagram into one buffer: most of what waits here is our own, read and forgotten.
        for (;;) {
            QHostAddress sender;
            quint16 port = 0;
            const qint64 size =
                socket_.readDatagram(drainBuffer_.data(), drainBuffer_.size(), &sender, &port);
            if (size < 0)
                break;
            const auto commandBits = tarnwick::MessageFieldsStartPositionsCommandBits;
            if (size <= static_cast<qint64>(commandBits) ||
                !(static_cast<unsigned char>(drainBuffer_[commandBits]) &
                  tarnwick::CommandBitsFromConsole))
                continue;
            QNetworkDatagram request(QByteArray(drainBuffer_.constData(), size));
            request.setSender(sender, port);
            waiting_.push_back(std::move(request));
        }
    }

    void SendAll(const std::vector<Outgoing>& replies, const QHostAddress& target) {
        std::bernoulli_distribution drop(send_.dropShare);
        std::vector<bool> dropped(replies.size());
        for (std::size_t i = 0; i < replies.size(); ++i)
            dropped[i] = send_.dropShare > 0 && drop(rng_);
        std::vector<bool> sent(replies.size());
        if (send_.burst) {
            // Units on a switch reach the console in no fixed order: another one every time.
            std::vector<std::size_t> order;
            for (std::size_t i = 0; i < replies.size(); ++i)
                if (!dropped[i])
                    order.push_back(i);
            std::shuffle(order.begin(), order.end(), rng_);
            std::vector<const std::string*> burst;
            burst.reserve(order.size());
            for (const std::size_t i : order)
                burst.push_back(&replies[i].bytes);
            const std::size_t count = SendBurst(
                static_cast<int>(socket_.socketDescriptor()), burst, target.toIPv4Address(),
                tarnwick::ConstantsCommKVQWithKVQConsoleSetupPort, send_.linkMbps);
            for (std::size_t n = 0; n < order.size(); ++n)
                sent[order[n]] = n < count;
        }
        int sinceDrain = 0;
        for (std::size_t i = 0; i < replies.size(); ++i) {
            const Outgoing& reply = replies[i];
            if (!send_.burst) {
                if (++sinceDrain == DrainEvery) {
                    sinceDrain = 0;
                    Drain();
                }
                sent[i] = !dropped[i] && Send(reply.bytes, target);
            }
            if (!send_.logReplies && sent[i])
                continue;
            JsonLine line;
            line.Add("event", dropped[i] ? "reply-dropped"
                              : sent[i]  ? "reply"
                                         : "send-failed")
                .Add("kind", reply.kind)
                .Add("to", target.toString().toStdString())
                .Add("bytes", static_cast<int>(reply.bytes.size()));
            if (reply.unit >= 0) {
                const int last = reply.kind == "change" ? 16 : HighestField;
                line.Add("unit", reply.unit)
                    .AddRaw("fields", responder_.FieldsJson(reply.unit, 1, last));
            }
            Emit(line.Text());
        }
        std::cout.flush();
        if (!waiting_.empty())
            QTimer::singleShot(0, this, [this] { ReadAll(); });
    }

    // As fast as the socket takes them: wait briefly while the kernel's queue is full.
    bool Send(const std::string& bytes, const QHostAddress& target) {
        const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
        for (int attempt = 0; attempt < 200; ++attempt) {
            if (socket_.writeDatagram(
                    data, target, tarnwick::ConstantsCommKVQWithKVQConsoleSetupPort) == data.size())
                return true;
            socket_.waitForBytesWritten(5);
        }
        return false;
    }

    static constexpr int DrainEvery = 256;

    QUdpSocket socket_;
    std::deque<QNetworkDatagram> waiting_;
    QByteArray drainBuffer_{65536, Qt::Uninitialized};
    bool reading_ = false;
    UnitResponder responder_;
    SendOptions send_;
    std::mt19937 rng_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("kvq-unit-sim");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Emulates KVQ network video units on UDP port 10021 for testing the Tarnwick console.\n"
        "Answers identification requests (one reply per unit), select and unselect requests\n"
        "(the named units start or stop identifying themselves) and change requests (the named\n"
        "unit takes the changed fields and sends a change reply). Writes one JSON line per event\n"
        "on standard output. Replies are broadcast to 255.255.255.255: run it only inside a\n"
        "private test network (scripts/private-net.sh), never on a real LAN.");
    parser.addHelpOption();
    const QCommandLineOption count({"n", "count"}, "Number of units (default 3).", "N", "3");
    const QCommandLineOption seed("seed", "Seed of the generated field values (default 1).", "S",
                                  "1");
    const QCommandLineOption firstIndex(
        "first-index",
        "Number the units from N (default 0): MAC addresses, names and addresses follow, so "
        "simulators on two networks list distinct units, or the same unit when their ranges "
        "overlap.",
        "N", "0");
    const QCommandLineOption file("units-file",
                                  "Read the units from FILE instead: \"[unit]\" starts a unit, "
                                  "\"<field 1-18>=<value>\" sets one field, '#' starts a comment; "
                                  "fields left out are generated.",
                                  "FILE");
    const QCommandLineOption unicast("unicast", "Reply to the asker's address instead of "
                                                "broadcasting to 255.255.255.255.");
    const QCommandLineOption noChange("no-change-reply", "Take change requests but never answer "
                                                         "them.");
    const QCommandLineOption silentUnit("silent-unit",
                                        "Unit N (numbered as the events number it) takes "
                                        "change requests but never answers them; may be "
                                        "given more than once.",
                                        "N");
    const QCommandLineOption delay("reply-delay",
                                   "Wait MS milliseconds before sending the replies "
                                   "to a request (default 0).",
                                   "MS", "0");
    const QCommandLineOption dropShare("drop-share",
                                       "Leave out this share (0 to 1) of the replies, chosen at "
                                       "random from the seed; each is logged as reply-dropped.",
                                       "P", "0");
    const QCommandLineOption version("reply-version",
                                     "Version text of every reply (default 001; anything else "
                                     "is a bad version the console reports).",
                                     "TEXT", "001");
    const QCommandLineOption malformed(
        "malformed",
        "Before the replies to each identification request, send one malformed datagram of each "
        "KIND (comma-separated, or \"all\"): " +
            QString::fromStdString([] {
                std::string all;
                for (const auto& k : MalformedKinds())
                    all += (all.empty() ? "" : ", ") + k;
                return all;
            }()) +
            ".",
        "KINDS");
    const QCommandLineOption noReplyLog("no-reply-log",
                                        "Do not log each reply sent (for large sweeps); requests "
                                        "and failures are still logged.");
    const QCommandLineOption burst(
        "burst", "Send all replies to a request back to back in one burst, in a random order, "
                 "reading nothing in between, as units on one switch answer at once.");
    const QCommandLineOption linkMbps(
        "link-mbps",
        "With --burst: the console's link speed in Mbit/s, which the switch cannot outpace "
        "(default 1000); 0 sends as fast as this machine can.",
        "mbps", "1000");
    const QCommandLineOption storm(
        "storm",
        "Instead of answering requests: repeat the first unit's identification reply (see "
        "--first-index) as a broadcast from the first broadcasting interface, as a switching "
        "loop does, for SECONDS (at most 3600), no faster than --link-mbps; then log the frames "
        "sent and exit. Needs root (a raw socket).",
        "SECONDS");
    const QCommandLineOption reverse(
        "reverse-every-other",
        "Answer every second identification request (the 2nd, 4th, ...) in reverse unit order, "
        "so a console that refreshes sees its units come back in another order.");
    parser.addOptions({count, seed, firstIndex, file, unicast, noChange, silentUnit, delay,
                       dropShare, version, malformed, noReplyLog, reverse, burst, linkMbps, storm});
    parser.process(app);

    auto fail = [](const std::string& message) {
        std::cerr << "kvq-unit-sim: " << message << '\n';
        return 2;
    };
    bool ok = false;
    UnitOptions unitOptions;
    unitOptions.seed = parser.value(seed).toUInt(&ok);
    if (!ok)
        return fail("--seed needs a whole number");
    unitOptions.firstIndex = parser.value(firstIndex).toInt(&ok);
    if (!ok || unitOptions.firstIndex < 0 || unitOptions.firstIndex > 1000000)
        return fail("--first-index needs a number from 0 to 1000000");
    std::vector<SimUnit> units;
    if (parser.isSet(file)) {
        std::ifstream in(parser.value(file).toStdString());
        if (!in)
            return fail("cannot read " + parser.value(file).toStdString());
        std::string error;
        auto read = ReadUnits(in, unitOptions, error);
        if (!read)
            return fail(parser.value(file).toStdString() + ": " + error);
        units = std::move(*read);
    } else {
        const int n = parser.value(count).toInt(&ok);
        if (!ok || n < 0 || n > 1000000)
            return fail("--count needs a number from 0 to 1000000");
        units = MakeUnits(unitOptions, n);
    }

    ResponderOptions responderOptions;
    responderOptions.version = parser.value(version).toStdString();
    responderOptions.changeReplies = !parser.isSet(noChange);
    for (const QString& unit : parser.values(silentUnit)) {
        bool number = false;
        responderOptions.silentUnits.push_back(unit.toInt(&number));
        if (!number)
            return fail("--silent-unit needs a unit number");
    }
    responderOptions.reverseEveryOther = parser.isSet(reverse);
    if (parser.isSet(malformed)) {
        for (const QString& kind : parser.value(malformed).split(',', Qt::SkipEmptyParts)) {
            if (kind == "all") {
                responderOptions.malformed = MalformedKinds();
                continue;
            }
            const auto& known = MalformedKinds();
            if (std::find(known.begin(), known.end(), kind.toStdString()) == known.end())
                return fail("unknown malformed kind: " + kind.toStdString());
            responderOptions.malformed.push_back(kind.toStdString());
        }
    }
    SendOptions sendOptions;
    sendOptions.unicast = parser.isSet(unicast);
    sendOptions.logReplies = !parser.isSet(noReplyLog);
    sendOptions.burst = parser.isSet(burst);
    sendOptions.linkMbps = parser.value(linkMbps).toInt(&ok);
    if (!ok || sendOptions.linkMbps < 0)
        return fail("--link-mbps needs a number of Mbit/s");
    sendOptions.delayMs = parser.value(delay).toInt(&ok);
    if (!ok || sendOptions.delayMs < 0)
        return fail("--reply-delay needs a number of milliseconds");
    sendOptions.dropShare = parser.value(dropShare).toDouble(&ok);
    if (!ok || sendOptions.dropShare < 0 || sendOptions.dropShare > 1)
        return fail("--drop-share needs a number from 0 to 1");

    if (parser.isSet(storm)) {
        const int seconds = parser.value(storm).toInt(&ok);
        if (!ok || seconds < 1 || seconds > 3600)
            return fail("--storm needs a number of seconds from 1 to 3600");
        if (units.empty())
            return fail("--storm needs a unit whose reply it repeats");
        const UnitResponder responder(std::move(units), responderOptions);
        const auto failed = RunStorm(responder.IdentificationReply(0), seconds,
                                     sendOptions.linkMbps, [](const std::string& line) {
                                         Emit(line);
                                         std::cout.flush(); // the storm holds the thread
                                     });
        if (failed)
            return fail("--storm: " + *failed);
        return 0;
    }

    Simulator simulator(UnitResponder(std::move(units), responderOptions), sendOptions,
                        unitOptions.seed);
    if (!simulator.Bind())
        return 1;
    return app.exec();
}
