#!/usr/bin/env bash
# Runs every fuzzer for as long as asked: bash scripts/fuzz.sh MINUTES
# (default 10), the minutes shared among the fuzzers one after another. The
# libraries are built with coverage instrumentation too, so the fuzzers see
# the staff drawing as well as the file reader. Corpora and any crashing
# input stay in build/fuzz/fuzz; each fuzzer's last figures are printed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
minutes="${1:-10}"
build="$root/build/fuzz"
fuzzers=(fuzz_reader fuzz_load_path fuzz_midi_parser fuzz_musicxml_import fuzz_mxl_import fuzz_midi_import fuzz_exercise_reader)

"$root/scripts/install-deps.sh"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" \
  -DZINTARO_BUILD_FUZZ=ON -DZINTARO_BUILD_TESTS=ON -DZINTARO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${fuzzers[@]}" -j "$(nproc)"

seconds=$(( minutes * 60 / ${#fuzzers[@]} ))
for f in "${fuzzers[@]}"; do
  echo "== $f for $seconds s"
  mkdir -p "$build/fuzz/${f}_corpus"
  # The importers start from their own small files in the repository.
  seeds="$build/fuzz/seeds"
  case "$f" in
    fuzz_*_import) reader="${f#fuzz_}"; seeds="$root/fuzz/seeds/${reader%_import}" ;;
    fuzz_exercise_reader) seeds="$root/fuzz/seeds/exercise" ;;
  esac
  "$build/fuzz/$f" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz/$f-" \
    "$build/fuzz/${f}_corpus" "$seeds" 2>"$build/fuzz/$f.log" || {
      tail -40 "$build/fuzz/$f.log"; exit 1; }
  grep -E "^#[0-9]+.*(DONE|cov:)" "$build/fuzz/$f.log" | tail -1
  grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added" "$build/fuzz/$f.log"
done
