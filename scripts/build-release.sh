#!/usr/bin/env bash
# Builds Zintaro as users get it, after installing what the build needs:
#   bash scripts/build-release.sh BUILD_FOLDER [TARGET]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"
shift

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DZINTARO_BUILD_TESTS=OFF -DZINTARO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" ${1:+--target "$1"}
