#!/usr/bin/env bash
# The README's pictures of the window listing units: the demo's three simulated units on the
# private test network, the console under Xvfb, once in a light and once in a dark scheme.
# Writes docs/window-light.png and docs/window-dark.png; run it again when the window changes.
# Needs root (the private network). Usage: scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tarnwick kvq-unit-sim >/dev/null
mkdir -p docs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A dark scheme as a desktop would set it; Qt takes a style sheet from the command line.
cat >"$work/dark.qss" <<'QSS'
QWidget { background-color: #232629; color: #eff0f1; }
QTreeView, QLineEdit { background-color: #1b1e20; alternate-background-color: #232629; }
QHeaderView::section { background-color: #31363b; color: #eff0f1; border: 1px solid #4d4d4d; }
QPushButton { background-color: #31363b; border: 1px solid #4d4d4d; padding: 3px 12px; }
QWidget:disabled, QPushButton:disabled, QMenuBar::item:disabled { color: #7f8c8d; }
QTreeView::indicator:unchecked { border: 1px solid #bdc3c7; background-color: #1b1e20; }
QTreeView::item:selected { background-color: #3daee9; color: #232629; }
QSS
cat >"$work/shoot.sh" <<SHOOT
#!/usr/bin/env bash
set -euo pipefail
export DISPLAY=:98 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work
Xvfb :98 -screen 0 1000x520x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=\$!
sleep 1
for scheme in light dark; do
  arguments=()
  [ "\$scheme" = dark ] && arguments=(-stylesheet "$work/dark.qss")
  "$PWD/build/app/tarnwick" "\${arguments[@]}" >/dev/null 2>&1 &
  console=\$!
  sleep 4 # the units answer, the first unit is selected
  window=\$(xdotool search --sync --onlyvisible --pid "\$console" | head -n 1)
  xdotool windowmove "\$window" 0 0 windowsize "\$window" 1000 520
  sleep 1
  import -window root "$PWD/docs/window-\$scheme.png"
  kill "\$console"
  wait "\$console" || true
done
kill "\$xvfb"
SHOOT
chmod +x "$work/shoot.sh"
scripts/private-net.sh --a "$PWD/build/sim/kvq-unit-sim --count 3 > /dev/null" -- "$work/shoot.sh"
echo "screenshots: docs/window-light.png docs/window-dark.png"
