#!/usr/bin/env bash
# Builds the Debian package tarnwick_<version>_<arch>.deb in the top folder (installing what is
# missing first) and prints its name last. Install it with: sudo apt install ./tarnwick_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build-package
# Release with Debian's hardening flags: the package carries a stripped, optimised console.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS) -Wl,-z,now" >/dev/null
cmake --build "$build" --target tarnwick tarnwick_docs
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tarnwick_*.deb)
cp "$deb" .
echo "$(basename "$deb")"
