#!/usr/bin/env bash
# Builds the intake fuzzer with clang and runs it for a bounded time.
# Usage: scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz -DTARNWICK_WERROR=ON >/dev/null
cmake --build --preset fuzz
corpus=build-fuzz/corpus
mkdir -p "$corpus"
build-fuzz/fuzz/make_seeds "$corpus"
build-fuzz/fuzz/fuzz_intake -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/ "$corpus"
