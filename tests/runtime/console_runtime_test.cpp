// The runtime between the session and its link: nothing the link does while a datagram goes out
// reaches the session in the middle of a call.
#include "runtime/console_runtime.h"
#include "tests/support/recording_sink.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

// A link whose interfaces change while it sends (a cable plugged in mid-send): it tells so from
// inside Send, and notes which unit the session showed selected at that moment.
class ChangingLink : public DatagramLink {
public:
    void Connect(Handlers given) override { handlers = std::move(given); }
    std::optional<SendFailure> Send(const std::string& datagram) override {
        sent.push_back(Label(datagram) + " (selected " +
                       std::to_string(runtime->State().SelectedUnitIndex()) + ")");
        handlers.interfacesChanged({{"eth1", 3, true, true, true, false, {"10.0.0.5"}, {24}}});
        return std::nullopt;
    }
    SocketState State() const override { return SocketState::Open; }

    Texts sent;
    Handlers handlers;
    const ConsoleRuntime* runtime = nullptr; // whose session it notes
};

TEST(ConsoleRuntime, WhatTheLinkSaysWhileSendingReachesTheSessionOnlyBetweenItsCalls) {
    int argc = 1;
    char name[] = "runtime_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    RecordingSink views;
    auto owned = std::make_unique<ChangingLink>();
    ChangingLink& link = *owned;
    ConsoleRuntime runtime(false, views, std::move(owned));
    link.runtime = &runtime;
    runtime.Start();
    for (const int unit : {1, 2})
        link.handlers.datagrams(SampleUnitReply(unit), "10.0.0.200");
    ASSERT_TRUE(runtime.Session()->SelectRow(1));
    link.sent.clear();
    // Unselect the first unit, select the second: both leave once the call is over.
    ASSERT_TRUE(runtime.Session()->SelectRow(2));
    EXPECT_EQ(link.sent, (Texts{"unselect 1 (selected 2)", "select 2 (selected 2)"}));
    EXPECT_EQ(runtime.State().host.LocalAddresses(), Texts{"10.0.0.5"});
}

} // namespace
} // namespace tarnwick::test
