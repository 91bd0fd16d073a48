#!/usr/bin/env bash
# Builds and runs the discovery benchmark on the private test network (needs root).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target bench_discovery bench_window_sweep kvq-unit-sim
export KVQ_UNIT_SIM=$PWD/build/sim/kvq-unit-sim
scripts/private-net.sh -- build/bench/bench_discovery
scripts/private-net.sh -- build/bench/bench_window_sweep
