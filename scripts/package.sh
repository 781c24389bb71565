#!/usr/bin/env bash
# Builds the Debian package of Zintaro in build/package:
#   bash scripts/package.sh
#   sudo apt-get install ./build/package/zintaro_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/package"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DZINTARO_BUILD_TESTS=OFF -DZINTARO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target package
ls "$build"/zintaro_*.deb
