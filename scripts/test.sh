#!/usr/bin/env bash
# Builds everything, warnings as errors, and runs every test (installing what is missing first).
# Usage: scripts/test.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=${1:-build}
shift || true
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_WERROR=ON "$@"
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --timeout 600
