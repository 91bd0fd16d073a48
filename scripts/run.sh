#!/usr/bin/env bash
# Builds the console (installing what is missing) and starts it. It broadcasts on the LAN.
# Usage: scripts/run.sh [Internal]
set -euo pipefail
cd "$(dirname "$0")/.."
# A window needs a display (--help and --version do not, nor a platform chosen by QT_QPA_PLATFORM).
needs_display=1
for arg in "$@"; do
  case "$arg" in -h | --help | --help-all | -v | --version) needs_display="" ;; esac
done
if [ -n "$needs_display" ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); start it in a desktop" \
    "session or over ssh -X, or try it without a LAN: xvfb-run -a scripts/demo.sh" >&2
  exit 1
fi
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tarnwick
exec build/app/tarnwick "$@"
