#!/usr/bin/env bash
# Builds the console (installing what is missing) and starts it. It broadcasts on the LAN.
# Usage: scripts/run.sh [Internal]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tarnwick
exec build/app/tarnwick "$@"
