#!/usr/bin/env bash
# A broadcast storm against the real console, on the private test network (needs root): two
# simulated units answer in namespace A, the console runs under Xvfb in namespace B, and once it
# has selected a unit a switching loop repeats one unit's reply at the link's rate for SECONDS.
# Prints the console's resident memory (peak, at the storm's end, 10 s later), the rate sent and
# the largest gap between the select requests the units saw during the storm.
#
#   scripts/storm.sh [SECONDS]     (default 60)
#
# The console runs as the user nobody, as a desktop user runs it: without the privilege to pass
# net.core.rmem_max. TARNWICK_BINARY runs another console binary (default build/app/tarnwick);
# LINK_MBPS sets the link's speed (default 1000; 0: as fast as this machine sends).
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")/.."

if [ "${1:-}" != "--in-b" ]; then
  seconds=${1:-60}
  if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 [SECONDS]" >&2
    exit 2
  fi
  [ "$(id -u)" -eq 0 ] || { echo "storm: needs root (network namespaces, a raw socket)" >&2; exit 77; }
  command -v xvfb-run >/dev/null || { echo "storm: xvfb-run is missing (scripts/install-deps.sh)" >&2; exit 77; }
  binary=${TARNWICK_BINARY:-build/app/tarnwick}
  sim=build/sim/kvq-unit-sim
  for f in "$binary" "$sim"; do
    [ -x "$f" ] || { echo "storm: $f is missing; build the tarnwick and kvq-unit-sim targets" >&2; exit 1; }
  done
  work=$(mktemp -d /tmp/tarnwick-storm.XXXXXX)
  trap 'rm -rf "$work"' EXIT
  export STORM_SECONDS=$seconds STORM_WORK=$work STORM_LINK_MBPS=${LINK_MBPS:-1000}
  STORM_BINARY=$(realpath "$binary")
  STORM_SIM=$(realpath "$sim")
  export STORM_BINARY STORM_SIM
  scripts/private-net.sh --a "exec '$STORM_SIM' -n 2 --burst > '$work/units.log'" -- "$self" --in-b
  exit
fi

# In namespace B from here on.
work=$STORM_WORK
rss() { awk '/^VmRSS:/ { print int($2 / 1024) }' "/proc/$1/status" 2>/dev/null || echo 0; }
rx() { awk '$1 == "veth0:" { print $3 }' /proc/net/dev; }

mkdir -m 700 "$work/runtime"
chown nobody:nogroup "$work/runtime"
# -ac: nobody cannot read root's X cookie. The pid written is the console's own (exec).
# shellcheck disable=SC2016
XDG_RUNTIME_DIR=$work/runtime HOME=$work/runtime TARNWICK_TRACE=1 \
  xvfb-run -a -s "-ac -screen 0 1024x768x24" \
  sh -c 'echo $$ > "$0/console.pid"; exec setpriv --reuid=nobody --regid=nogroup --clear-groups "$1"' \
  "$work" "$STORM_BINARY" >"$work/console.log" 2>&1 &
xvfb=$!
stop_console() {
  if [ -s "$work/console.pid" ]; then kill "$(cat "$work/console.pid")" 2>/dev/null || true; fi
  wait "$xvfb" 2>/dev/null || true
}
trap stop_console EXIT

# The console lists the units and selects the first: the select requests come every 500 ms.
for _ in $(seq 200); do
  grep -q '"event":"selected"' "$work/units.log" 2>/dev/null && [ -s "$work/console.pid" ] && break
  sleep 0.1
done
grep -q '"event":"selected"' "$work/units.log" ||
  { echo "storm: the console never selected a unit" >&2; cat "$work/console.log" >&2; exit 1; }
console=$(cat "$work/console.pid")
sleep 2
idle=$(rss "$console")

first_line=$(wc -l <"$work/units.log")
rx_before=$(rx)
ip netns exec "$TW_NS_A" "$STORM_SIM" --storm "$STORM_SECONDS" --link-mbps "$STORM_LINK_MBPS" \
  >"$work/storm.log" &
storm=$!
peak=$idle
samples=()
while kill -0 "$storm" 2>/dev/null; do
  sleep 1
  now=$(rss "$console")
  samples+=("$now")
  [ "$now" -gt "$peak" ] && peak=$now
done
wait "$storm" || { echo "storm: the storm sender failed" >&2; exit 1; }
at_end=$(rss "$console")
last_line=$(wc -l <"$work/units.log")
rx_after=$(rx)
after=()
for _ in $(seq 10); do
  sleep 1
  now=$(rss "$console")
  after+=("$now")
  [ "$now" -gt "$peak" ] && peak=$now
done
kill -0 "$console" 2>/dev/null || { echo "storm: the console is gone" >&2; exit 1; }

# Requests the units saw during the storm: function 17 selects, 16 identifies.
gaps=$(sed -n "$((first_line + 1)),${last_line}p" "$work/units.log" | awk '
  /"event":"request"/ {
    match($0, /"function":[0-9]+/); f = substr($0, RSTART + 11, RLENGTH - 11) + 0
    match($0, /"ms":[0-9]+/); ms = substr($0, RSTART + 5, RLENGTH - 5) + 0
    if (f == 17) { if (selects++ > 0 && ms - lastSelect > selectGap) selectGap = ms - lastSelect; lastSelect = ms }
    if (f == 16 || f == 17) { if (ticks++ > 0 && ms - lastTick > tickGap) tickGap = ms - lastTick; lastTick = ms }
  }
  END { printf "%d %d %d\n", selects, selectGap, tickGap }')
read -r selects select_gap tick_gap <<<"$gaps"
sent=$(sed -n 's/.*"sent":\([0-9]*\).*/\1/p' "$work/storm.log")
rate=$(sed -n 's/.*"perSecond":\([0-9]*\).*/\1/p' "$work/storm.log")
drops=$(awk 'NR > 1 && $2 ~ /:2725$/ { print $NF }' /proc/net/udp)

echo "storm: $STORM_SECONDS s at link $STORM_LINK_MBPS Mbit/s"
echo "  datagrams sent:            $sent ($rate/s)"
echo "  arrived at B's link:       $(((rx_after - rx_before) / STORM_SECONDS))/s"
echo "  console socket drops:      ${drops:-?}"
echo "  console RSS idle:          $idle MB"
echo "  console RSS peak:          $peak MB"
echo "  console RSS at storm end:  $at_end MB"
echo "  console RSS 10 s after:    ${after[-1]} MB"
echo "  RSS each second (storm):   ${samples[*]}"
echo "  RSS each second (after):   ${after[*]}"
echo "  select requests in storm:  $selects (every 500 ms: $((STORM_SECONDS * 2)))"
echo "  largest select gap:        $select_gap ms (1000 ms where a tick sends the identification request instead)"
echo "  largest gap between ticks: $tick_gap ms"
