#!/usr/bin/env bash
# Builds everything, warnings as errors, and runs every test (installing what is missing first).
# Usage: scripts/test.sh [preset] [extra cmake arguments...]
#   preset: default (build/) or sanitizers (build-asan/), from CMakePresets.json
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

preset=${1:-default}
shift || true
cmake --preset "$preset" -DTARNWICK_WERROR=ON "$@"
cmake --build --preset "$preset" --parallel "$(nproc)"
ctest --preset "$preset"
