// The UDP transport against kvq-unit-sim across the private test network.
#include "app/udp_transport.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "protocol/reply_intake.h"
#include "tests/e2e/sim_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarnwick::test {
namespace {

constexpr int Timeout = 5000;
constexpr int StateOpen = 1;
constexpr int StateError = 9;

struct Received {
    std::string bytes;
    std::string sender;
};

class TransportEndToEnd : public ::testing::Test {
protected:
    std::vector<Received> FromSim() const {
        const std::string simAddress = qEnvironmentVariable("TW_ADDR_A").toStdString();
        std::vector<Received> fromSim;
        for (const Received& datagram : received)
            if (datagram.sender == simAddress)
                fromSim.push_back(datagram);
        return fromSim;
    }

    void SetUp() override {
        transport.Connect(
            [this](std::string_view bytes, std::string_view sender) {
                received.push_back({std::string(bytes), std::string(sender)});
            },
            {});
    }

    std::vector<Received> received;
    UdpTransport transport;
    SimProcess sim;
};

TEST_F(TransportEndToEnd, BackToBackRequestsBothGoOutFromPort10021AndRepliesComeBack) {
    QString error;
    ASSERT_TRUE(sim.Start({"--count", "3"}, error)) << error.toStdString();
    const auto first = transport.Send(IdentificationRequest());
    const auto second = transport.Send(IdentificationRequest());
    EXPECT_FALSE(first.has_value()) << *first;
    EXPECT_FALSE(second.has_value()) << *second;
    EXPECT_EQ(transport.StateValue(), StateOpen);

    ASSERT_TRUE(sim.WaitForEvents([](const QJsonObject& e) { return e["event"] == "request"; }, 2,
                                  Timeout));
    const auto requests = sim.EventsNamed("request");
    ASSERT_EQ(requests.size(), 2u);
    for (const QJsonObject& request : requests) {
        EXPECT_EQ(request["from"].toString(), qEnvironmentVariable("TW_ADDR_B"));
        EXPECT_EQ(request["fromPort"].toInt(), 10021);
        EXPECT_EQ(request["function"].toInt(), FunctionCodeIdentification);
        EXPECT_EQ(request["class"].toInt(), MessageClass4);
    }

    // Three units answer each of the two requests.
    ASSERT_TRUE(WaitUntil([&] { return FromSim().size() >= 6; }, Timeout))
        << FromSim().size() << " of 6 replies arrived";
    for (const Received& reply : FromSim())
        EXPECT_TRUE(std::holds_alternative<IdentificationReply>(
            TakeDatagram(reply.bytes, reply.sender, {})));
}

TEST_F(TransportEndToEnd, PortInUseIsReportedOnEverySendUntilItIsFree) {
    QUdpSocket blocker;
    ASSERT_TRUE(blocker.bind(QHostAddress::AnyIPv4, 10021, QUdpSocket::DontShareAddress))
        << blocker.errorString().toStdString();
    const std::string step = "Binding UDP port 10021 failed: ";
    for (int attempt = 1; attempt <= 3; ++attempt) {
        const auto failed = transport.Send(IdentificationRequest());
        ASSERT_TRUE(failed.has_value()) << "attempt " << attempt;
        EXPECT_EQ(failed->substr(0, step.size()), step) << *failed;
        EXPECT_GT(failed->size(), step.size()) << "the reason is left out";
        EXPECT_EQ(transport.StateValue(), StateError) << "attempt " << attempt;
    }

    blocker.close();
    const auto sent = transport.Send(IdentificationRequest());
    EXPECT_FALSE(sent.has_value()) << *sent;
    EXPECT_EQ(transport.StateValue(), StateOpen);
}

TEST_F(TransportEndToEnd, NoInterfaceUpSaysSoAndTheNextSendTriesAgain) {
    QString error;
    ASSERT_TRUE(sim.Start({"--count", "1"}, error)) << error.toStdString();
    ASSERT_EQ(QProcess::execute("ip", {"link", "set", "veth0", "down"}), 0);
    QTest::qWait(600); // interfaces are looked at again once a tick has passed
    const auto failed = transport.Send(IdentificationRequest());
    ASSERT_TRUE(failed.has_value());
    EXPECT_NE(failed->find("No network interface is up"), std::string::npos) << *failed;
    EXPECT_EQ(transport.StateValue(), StateError);

    ASSERT_EQ(QProcess::execute("ip", {"link", "set", "veth0", "up"}), 0);
    // The link takes a moment to carry again; each send looks afresh, at most once a tick.
    EXPECT_TRUE(
        WaitUntil([&] { return !transport.Send(IdentificationRequest()).has_value(); }, Timeout));
    EXPECT_EQ(transport.StateValue(), StateOpen);
    EXPECT_TRUE(sim.WaitForEvents([](const QJsonObject& e) { return e["event"] == "request"; }, 1,
                                  Timeout));
}

} // namespace
} // namespace tarnwick::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::RunEndToEndTests(argc, argv, "transport end-to-end tests",
                                            {"TW_ADDR_A", "TW_ADDR_B"});
}
