#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them all, printing their figures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DZINTARO_BUILD_TESTS=OFF -DZINTARO_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)"
for b in $(find "$root/build/bench/bench" -maxdepth 2 -type f -name 'bench_*' -perm -u+x | sort); do
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b" "$@"
done
