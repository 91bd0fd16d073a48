#!/usr/bin/env bash
# Builds the Debian package and checks it as a distribution would: lintian without errors, the
# desktop entry and the AppStream metainfo valid, one version throughout, and the unpacked console
# answering --version and --help.
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

fail() { echo "check-package: $*" >&2; exit 1; }
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for file in usr/bin/tarnwick usr/bin/tarnwick-cli usr/share/man/man1/tarnwick-cli.1.gz \
  usr/share/bash-completion/completions/tarnwick-cli usr/share/applications/tarnwick.desktop \
  usr/share/icons/hicolor/scalable/apps/tarnwick.svg usr/share/metainfo/nl.lumivar.tarnwick.metainfo.xml \
  usr/share/man/man1/tarnwick.1.gz usr/share/doc/tarnwick/changelog.gz \
  etc/ufw/applications.d/tarnwick usr/lib/firewalld/services/tarnwick.xml; do
  [ -f "$unpacked/$file" ] || fail "$file is missing"
done
[ ! -e "$unpacked/usr/bin/kvq-unit-sim" ] || fail "the simulator is packaged"
desktop-file-validate "$unpacked/usr/share/applications/tarnwick.desktop"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/nl.lumivar.tarnwick.metainfo.xml"

# One version, from project(): the package's, and everything in it says the same.
package_version=$(dpkg-deb -f "$deb" Version)
version=$("$unpacked/usr/bin/tarnwick" --version)
[ "$version" = "tarnwick $package_version" ] || fail "--version says '$version', the package $package_version"
zcat "$unpacked/usr/share/man/man1/tarnwick.1.gz" | head -n 1 | grep -qF "Tarnwick $package_version" ||
  fail "the manual page is not of $package_version"
grep -qF "<release version=\"$package_version\"" \
  "$unpacked/usr/share/metainfo/nl.lumivar.tarnwick.metainfo.xml" || fail "the metainfo has no release $package_version"
zcat "$unpacked/usr/share/doc/tarnwick/changelog.gz" | head -n 1 | grep -qF "tarnwick ($package_version)" ||
  fail "the changelog's newest entry is not $package_version"

"$unpacked/usr/bin/tarnwick" --help | grep -q 'Internal' || fail "--help does not explain Internal"
[ "$("$unpacked/usr/bin/tarnwick-cli" --version)" = "tarnwick-cli $package_version" ] ||
  fail "tarnwick-cli --version is not $package_version"
! ldd "$unpacked/usr/bin/tarnwick-cli" | grep -qE 'libQt6(Gui|Widgets)' || fail "tarnwick-cli links a GUI library"
echo "check-package: $deb is fine"
