#!/usr/bin/env bash
# Shows the console at work without real units: three simulated units and the console on the
# private test network (two namespaces; nothing reaches the LAN). Needs root and a display.
# Usage: scripts/demo.sh [Internal]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tarnwick kvq-unit-sim
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "demo: no display (DISPLAY is not set); try: xvfb-run -a scripts/demo.sh" >&2
  exit 1
fi
# The namespace has no route to a desktop's TCP display; Qt reaches X through its local socket.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
sim="$PWD/build/sim/kvq-unit-sim --count 3"
exec scripts/private-net.sh --a "$sim > /dev/null" -- "$PWD/build/app/tarnwick" "$@"
