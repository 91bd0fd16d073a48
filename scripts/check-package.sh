#!/usr/bin/env bash
# Builds the Debian package and checks it as a distribution would: lintian without errors, the
# desktop entry and the AppStream metainfo valid, and the unpacked console answering --version
# and --help.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(scripts/package.sh | tail -n 1)
echo "package: $deb"

# lintian says E: for errors; warnings are listed but do not fail.
lintian_out=$(lintian "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[ -z "$lintian_out" ] || echo "$lintian_out"
if echo "$lintian_out" | grep -q '^E:'; then
  echo "check-package: lintian reports errors" >&2
  exit 1
fi
desktop-file-validate packaging/tarnwick.desktop
appstreamcli validate --no-net packaging/nl.lumivar.tarnwick.metainfo.xml

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
version=$("$unpacked/usr/bin/tarnwick" --version)
[ "$version" = "tarnwick 1.5.0" ] || { echo "check-package: --version says '$version'" >&2; exit 1; }
"$unpacked/usr/bin/tarnwick" --help | grep -q 'Internal' ||
  { echo "check-package: --help does not explain Internal" >&2; exit 1; }
for file in usr/share/applications/tarnwick.desktop usr/share/icons/hicolor/scalable/apps/tarnwick.svg \
  usr/share/metainfo/nl.lumivar.tarnwick.metainfo.xml usr/share/man/man1/tarnwick.1.gz \
  etc/ufw/applications.d/tarnwick usr/lib/firewalld/services/tarnwick.xml; do
  [ -f "$unpacked/$file" ] || { echo "check-package: $file is missing" >&2; exit 1; }
done
[ ! -e "$unpacked/usr/bin/kvq-unit-sim" ] || { echo "check-package: the simulator is packaged" >&2; exit 1; }
echo "check-package: $deb is fine"
