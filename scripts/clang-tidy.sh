#!/usr/bin/env bash
# Runs clang-tidy, with the checks in .clang-tidy, over the console's and the simulator's own
# sources (not the tests) and fails on any finding. Reads a configured build's compile commands.
# Usage: scripts/clang-tidy.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "clang-tidy: $build/compile_commands.json is missing; build first (scripts/test.sh)" >&2
  exit 1
fi
command -v clang-tidy >/dev/null || { echo "clang-tidy: not installed (scripts/install-deps.sh)" >&2; exit 1; }

log=$(mktemp)
trap 'rm -f "$log"' EXIT
start=$SECONDS
status=0
git ls-files 'protocol/*.cpp' 'console/*.cpp' 'runtime/*.cpp' 'app/*.cpp' 'cli/*.cpp' 'sim/*.cpp' |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet >"$log" 2>&1 || status=$?
# clang-tidy counts its warnings on stderr even when it shows none.
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$log" || true
if [ "$status" -ne 0 ]; then
  echo "clang-tidy: findings above ($((SECONDS - start)) s)" >&2
  exit 1
fi
echo "clang-tidy: no finding ($((SECONDS - start)) s)"
