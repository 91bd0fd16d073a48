#!/usr/bin/env bash
# Builds the console (installing what is missing) and starts it. It broadcasts on the LAN.
# Usage: scripts/run.sh [Internal]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tarnwick
exec build/app/tarnwick "$@"
