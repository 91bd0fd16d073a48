#!/usr/bin/env bash
# Installs a build into a staging folder as a packager does (DESTDIR, prefix /usr/local) and checks
# that exactly the console's files arrive, each where its reader looks: the firewall profiles in
# the system folders ufw and firewalld read, the rest under the prefix.
# Usage: scripts/check-install.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr/local >/dev/null

expected="etc/ufw/applications.d/tarnwick
usr/lib/firewalld/services/tarnwick.xml
usr/local/bin/tarnwick
usr/local/bin/tarnwick-cli
usr/local/share/applications/tarnwick.desktop
usr/local/share/bash-completion/completions/tarnwick-cli
usr/local/share/doc/tarnwick/changelog.gz
usr/local/share/doc/tarnwick/copyright
usr/local/share/icons/hicolor/scalable/apps/tarnwick.svg
usr/local/share/man/man1/tarnwick-cli.1.gz
usr/local/share/man/man1/tarnwick.1.gz
usr/local/share/metainfo/nl.lumivar.tarnwick.metainfo.xml"
installed=$(cd "$stage" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
if [ "$installed" != "$expected" ]; then
  echo "check-install: a staged install does not put the files where their readers look:" >&2
  diff <(echo "$expected") <(echo "$installed") |
    sed -n -e 's/^</  missing:/p' -e 's/^>/  unexpected:/p' >&2
  exit 1
fi
"$stage/usr/local/bin/tarnwick" --version >/dev/null
"$stage/usr/local/bin/tarnwick-cli" --version >/dev/null
# The command line runs where there is no display: no Qt GUI or Widgets library.
if ldd "$stage/usr/local/bin/tarnwick-cli" | grep -E 'libQt6(Gui|Widgets)'; then
  echo "check-install: tarnwick-cli links a GUI library" >&2
  exit 1
fi
echo "check-install: a staged install puts every file where its reader looks"
