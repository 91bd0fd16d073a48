// Intake plus list update for whole sweeps: every unit answering one identification request.
#include "console/session/console_session.h"
#include "tests/support/raw_datagram.h"
#include "tests/support/recording_sink.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tarnwick;

std::vector<std::string> Sweep(int units) {
    std::vector<std::string> replies;
    replies.reserve(static_cast<std::size_t>(units));
    for (int i = 0; i < units; ++i)
        replies.push_back(test::SampleUnitReply(i));
    return replies;
}

// A session as the window holds it, with nothing to send to.
struct Console {
    test::RecordingSink sink;
    ConsoleSession session{sink, false};
    Console() { session.SetHostNetworks({"192.168.7.5"}, {}); }
};

void TakeSweep(ConsoleSession& session, const std::vector<std::string>& replies) {
    for (const auto& bytes : replies)
        benchmark::DoNotOptimize(session.TakeDatagram(bytes, "10.0.0.9"));
}

// Every reply adds a row: the sweep after a Refresh, the one that repeats in a running console.
// Refresh itself (clearing the list, sending the request) is not the sweep and is not timed.
void BM_SweepNewUnits(benchmark::State& state) {
    const auto replies = Sweep(static_cast<int>(state.range(0)));
    Console console;
    for (auto _ : state) {
        state.PauseTiming();
        console.session.Refresh();
        console.sink.Drain(console.session);
        console.sink.sent.clear();
        state.ResumeTiming();
        TakeSweep(console.session, replies);
    }
    state.counters["replies/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * state.range(0)), benchmark::Counter::kIsRate);
}

// The first sweep of a console just started: its rows land in memory the process has not
// touched yet, so the page faults of that memory are part of it. Making and destroying the
// session are not timed; the allocator may hand the memory back to the system in between.
void BM_FirstSweepOfANewConsole(benchmark::State& state) {
    const auto replies = Sweep(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto console = std::make_unique<Console>();
        state.ResumeTiming();
        TakeSweep(console->session, replies);
        state.PauseTiming();
        console.reset();
        state.ResumeTiming();
    }
    state.counters["replies/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * state.range(0)), benchmark::Counter::kIsRate);
}

// Every reply finds its row: the periodic sweep of a known LAN.
void BM_SweepKnownUnits(benchmark::State& state) {
    const auto replies = Sweep(static_cast<int>(state.range(0)));
    Console console;
    TakeSweep(console.session, replies);
    for (auto _ : state)
        TakeSweep(console.session, replies);
    state.counters["replies/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * state.range(0)), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_SweepNewUnits)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstSweepOfANewConsole)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SweepKnownUnits)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
