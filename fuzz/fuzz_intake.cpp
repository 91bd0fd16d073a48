// Arbitrary datagrams through the session: intake, the list update and the requests that read
// the rows the datagrams made.
#include "console/session/console_session.h"
#include "tests/support/recording_sink.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace tarnwick;

constexpr int MaxRowsForApply = 32;
constexpr int MaxRows = 1000;

struct Fuzzed {
    test::RecordingSink sink;
    ConsoleSession session{sink, true};
    Fuzzed() {
        session.SetHostNetworks({"192.168.7.5"}, {});
        session.StartUp();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto fuzzed = std::make_unique<Fuzzed>();
    ConsoleSession& session = fuzzed->session;
    // The exact bytes, no more: a read past them is a sanitizer report.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const int before = session.State().UnitCount();
    const IntakeResult result = session.TakeDatagram(bytes, "192.168.7.20");
    const int after = session.State().UnitCount();
    if (after < before || after > before + 1 ||
        (result != IntakeResult::IdentificationReply && after != before))
        std::abort();
    // Every message box closes again, so the next one may show.
    for (const auto origin : {MessageOrigin::Intake, MessageOrigin::Request})
        session.MessageClosed(origin);
    // Requests and Apply over whatever rows the datagrams left, each sent once its call is done.
    const auto drain = [&] {
        fuzzed->sink.Drain(session);
        fuzzed->sink.sent.clear();
    };
    session.TimerOpenTick(SocketState::Open);
    drain();
    // Apply walks every row: only over small tables, or the fuzzer spends its time there.
    if (size % 7 == 0 && after <= MaxRowsForApply) {
        session.Apply();
        drain();
        while (session.State().Applying()) {
            session.ApplyStep();
            drain();
        }
    }
    fuzzed->sink = {};
    if (!session.State().units.CheckInvariants() ||
        session.State().units.UnitVersions().size() != static_cast<std::size_t>(after))
        std::abort();
    if (after > MaxRows)
        fuzzed = std::make_unique<Fuzzed>();
    return 0;
}
