// Intake plus list update for whole sweeps: every unit answering one identification request.
#include "protocol/reply_intake.h"
#include "protocol/unit_list_update.h"
#include "tests/support/raw_datagram.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tarnwick;

const std::vector<std::string> kLocal = {"192.168.7.5"};

std::vector<std::string> Sweep(int units) {
    std::vector<std::string> replies;
    replies.reserve(static_cast<std::size_t>(units));
    for (int i = 0; i < units; ++i)
        replies.push_back(test::SampleUnitReply(i));
    return replies;
}

void TakeSweep(UnitTable& table, const std::vector<std::string>& replies) {
    for (const auto& bytes : replies) {
        auto outcome = TakeDatagram(bytes, "10.0.0.9", kLocal);
        auto* reply = std::get_if<IdentificationReply>(&outcome);
        benchmark::DoNotOptimize(
            ApplyIdentificationReply(table, reply->fields, reply->versionText));
    }
}

// Every reply adds a row: the first sweep after start or Refresh.
void BM_SweepNewUnits(benchmark::State& state) {
    const auto replies = Sweep(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        UnitTable table;
        state.ResumeTiming();
        TakeSweep(table, replies);
        state.PauseTiming();
        table = UnitTable{};
        state.ResumeTiming();
    }
    state.counters["replies/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * state.range(0)), benchmark::Counter::kIsRate);
}

// Every reply finds its row: the periodic sweep of a known LAN.
void BM_SweepKnownUnits(benchmark::State& state) {
    const auto replies = Sweep(static_cast<int>(state.range(0)));
    UnitTable table;
    TakeSweep(table, replies);
    for (auto _ : state)
        TakeSweep(table, replies);
    state.counters["replies/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * state.range(0)), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_SweepNewUnits)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SweepKnownUnits)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
