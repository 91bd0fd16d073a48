#include "runtime/console_runtime.h"

#include "runtime/udp_transport.h"

#include <QTime>

#include <utility>

namespace tarnwick {

ConsoleRuntime::ConsoleRuntime(bool internalMode, SessionListener& views,
                               std::unique_ptr<DatagramLink> link)
    : views_(views), session_(*this, internalMode),
      link_(link ? std::move(link) : std::make_unique<UdpTransport>()) {
    TimerOpen.setInterval(TimerOpenIntervalMs);
    connect(&TimerOpen, &QTimer::timeout, this, &ConsoleRuntime::Tick);
}

ConsoleRuntime::~ConsoleRuntime() = default;

void ConsoleRuntime::Start() {
    DatagramLink::Handlers handlers;
    handlers.datagrams = [this](std::string_view bytes, std::string_view sender) {
        if (!std::exchange(batchOpen_, true))
            emit BatchStarted();
        session_.TakeDatagram(bytes, sender);
    };
    handlers.batchEnded = [this] {
        batchOpen_ = false;
        emit BatchEnded();
    };
    handlers.dropped = [this](std::uint32_t count) { session_.RepliesDropped(count); };
    handlers.interfacesChanged = [this](const std::vector<NetworkInterface>& all) {
        interfaces_ = all;
        FeedHostNetworks();
    };
    handlers.hostAddresses = [this](std::vector<std::string> addresses) {
        resolved_ = std::move(addresses);
        FeedHostNetworks();
    };
    link_->Connect(std::move(handlers));
    session_.SetClock([] { return QTime::currentTime().toString("HH:mm:ss").toStdString(); });
    session_.StartUp();
    TimerOpen.start();
}

void ConsoleRuntime::Stop() {
    session_.ShutDown();
    TimerOpen.stop();
}

void ConsoleRuntime::FeedHostNetworks() {
    session_.SetHostNetworks(resolved_, interfaces_);
    emit HostNetworksChanged();
}

void ConsoleRuntime::Tick() {
    session_.TimerOpenTick(link_->StateValue());
    emit Ticked();
    // For timing big sites from outside: how many are listed, each time that changes.
    if (trace_ && std::exchange(tracedUnits_, session_.UnitCount()) != session_.UnitCount())
        qInfo("tarnwick: %d units listed", tracedUnits_);
}

std::optional<SendFailure> ConsoleRuntime::SendDatagram(const std::string& datagram) {
    return link_->Send(datagram);
}

void ConsoleRuntime::ApplyStepDue() {
    // The next unit on the next turn of the loop: replies, ticks and repaints run in between.
    QTimer::singleShot(0, this, [this] { session_.ApplyStep(); });
}

void ConsoleRuntime::ShowMessage(const MessageReport& report, MessageOrigin origin) {
    views_.ShowMessage(report, origin);
}

void ConsoleRuntime::ListEnabledChanged(bool enabled) {
    views_.ListEnabledChanged(enabled);
}

void ConsoleRuntime::ButtonsEnabledChanged(bool enabled) {
    views_.ButtonsEnabledChanged(enabled);
}

void ConsoleRuntime::HighlightChanged(int row) {
    views_.HighlightChanged(row);
}

void ConsoleRuntime::CaptionChanged(const std::string& caption) {
    views_.CaptionChanged(caption);
}

void ConsoleRuntime::ResultsChanged(int row) {
    views_.ResultsChanged(row);
}

} // namespace tarnwick
