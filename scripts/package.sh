#!/usr/bin/env bash
# Builds the Debian package tarnwick_<version>_<arch>.deb in the top folder (installing what is
# missing first) and prints its name last. Install it with: sudo apt install ./tarnwick_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build-package
# Release with Debian's hardening flags: the package carries a stripped, optimised console.
cmake --preset package \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS) -Wl,-z,now" >/dev/null
cmake --build --preset package
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tarnwick_*.deb)
cp "$deb" .
echo "$(basename "$deb")"
