#!/usr/bin/env bash
# Builds and runs every test: first built as users get it, optimised as the
# package is (which also makes the Debian package and checks it,
# tests/package), then the format and tidy checks, then every test once more
# under AddressSanitizer and UndefinedBehaviorSanitizer (with clang, which
# also builds and briefly runs the fuzzers).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"

"$root/scripts/install-deps.sh"
# Rebuilds reuse what an earlier build compiled.
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$root"

echo "== Release build and tests"
cmake -S "$root" -B "$root/build/test" -DCMAKE_BUILD_TYPE=Release -DZINTARO_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build/test" -j "$jobs"
ctest --test-dir "$root/build/test" --output-on-failure -j "$jobs"

"$root/scripts/check-style.sh" "$root/build/test"

echo "== Sanitizer build and tests (ASan + UBSan)"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug \
  -DZINTARO_SANITIZE=ON -DZINTARO_BUILD_BENCH=OFF -DZINTARO_BUILD_FUZZ=ON >/dev/null
cmake --build "$root/build/asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build/asan" --output-on-failure -j "$jobs"
