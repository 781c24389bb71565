#!/usr/bin/env bash
# Runs every fuzzer for as long as asked: bash scripts/fuzz.sh MINUTES
# (default 10), the minutes shared among the fuzzers one after another; or
# only the fuzzers named after the minutes (bash scripts/fuzz.sh 60
# fuzz_load_path), so that the readers furthest behind can be given more. The
# libraries are built with coverage instrumentation too, so the fuzzers see
# the staff drawing as well as the file readers. Each fuzzer starts from its
# corpus in the build tree, the seeds and fuzz/corpus/<fuzzer>; what it finds
# (crash-, leak-, timeout- and oom- files, and slow-unit- files for inputs
# that took a second or more) goes to build/fuzz/fuzz/findings/<run>/. One
# line a fuzzer and a total line are appended to fuzz/LOG.md, and the
# README's count of executions so far is brought up to date from the log.
# Exits 1 when a crash, leak, timeout or running out of memory was found.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
minutes="${1:-10}"
build="$root/build/fuzz"
log="$root/fuzz/LOG.md"
# Every fuzzer of the program; a new one goes into this list.
fuzzers=(fuzz_reader fuzz_composition_lines fuzz_load_path fuzz_answers_log fuzz_settings_file
  fuzz_recovery_file fuzz_midi_parser fuzz_musicxml_import fuzz_mxl_import fuzz_midi_import
  fuzz_exercise_reader)
if [ "$#" -gt 1 ]; then
  for f in "${@:2}"; do
    [[ " ${fuzzers[*]} " == *" $f "* ]] || { echo "no fuzzer $f; the fuzzers: ${fuzzers[*]}" >&2; exit 2; }
  done
  fuzzers=("${@:2}")
fi

"$root/scripts/install-deps.sh"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
  -DZINTARO_BUILD_FUZZ=ON -DZINTARO_BUILD_TESTS=ON -DZINTARO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${fuzzers[@]}" -j "$(nproc)"

started="$(date -u +%Y-%m-%dT%H:%MZ)"
commit="$(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD -- src fuzz \
  ':!fuzz/LOG.md' ':!fuzz/corpus' || echo '+changes')"
findings="$build/fuzz/findings/$(date -u +%Y%m%d-%H%M%S)"
mkdir -p "$findings"
[ -f "$log" ] || printf '%s\n\n%s\n%s\n' "# Fuzzing log" \
  "| date (UTC) | commit | fuzzer | seconds | executions | findings | slowest input |" \
  "|---|---|---|---|---|---|---|" >"$log"

# The slowest input of a corpus, in milliseconds: each file run once.
slowest_ms() {
  local bin="$1" dir="$2"
  find "$dir" -type f -print0 | xargs -0 -r -n 200 "$bin" -runs=1 2>&1 \
    | sed -n 's/^Executed .* in \([0-9]*\) ms$/\1/p' | sort -n | tail -1 || true
}

seconds=$(( minutes * 60 / ${#fuzzers[@]} ))
total_runs=0
total_seconds=0
total_found=0
for f in "${fuzzers[@]}"; do
  echo "== $f for $seconds s"
  corpus="$build/fuzz/${f}_corpus"
  mkdir -p "$corpus" "$root/fuzz/corpus/$f"
  # The importers, the exercises, the answers' history and the settings
  # start from their own small files in the repository.
  seeds="$build/fuzz/seeds"
  case "$f" in
    fuzz_*_import) reader="${f#fuzz_}"; seeds="$root/fuzz/seeds/${reader%_import}" ;;
    fuzz_exercise_reader) seeds="$root/fuzz/seeds/exercise" ;;
    fuzz_answers_log) seeds="$root/fuzz/seeds/answers_log" ;;
    fuzz_settings_file) seeds="$root/fuzz/seeds/settings" ;;
  esac
  status=0
  began=$SECONDS
  "$build/fuzz/$f" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -report_slow_units=1 -print_final_stats=1 -artifact_prefix="$findings/$f-" \
    "$corpus" "$seeds" "$root/fuzz/corpus/$f" 2>"$findings/$f.log" || status=$?
  # The seconds it ran: fewer than given when it stopped on a finding.
  ran=$(( SECONDS - began ))
  total_seconds=$(( total_seconds + ran ))
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$findings/$f.log" | tail -1)"
  # A crash ends the run before the final figures: its last status line counts.
  [ -n "$runs" ] || runs="$(grep -oE '^#[0-9]+' "$findings/$f.log" | tail -1 | tr -d '#')"
  runs="${runs:-0}"
  found="$(cd "$findings" && ls -1 | grep -E "^$f-(crash|leak|timeout|oom)-" | sed "s/^$f-//" | tr '\n' ' ' || true)"
  if [ -n "$found" ] || [ "$status" -ne 0 ]; then
    total_found=$(( total_found + 1 ))
    tail -40 "$findings/$f.log"
    found="${found:-exit $status} (in build/fuzz/fuzz/findings)"
  fi
  # Inputs that once took a second or more (a busy machine can cause that)
  # are kept as slow-unit files; the corpus's slowest is timed again alone.
  slow="$(slowest_ms "$build/fuzz/$f" "$corpus")"
  slow="${slow:-?} ms"
  over="$(cd "$findings" && ls -1 | grep -c "^$f-slow-unit-" || true)"
  [ "$over" -eq 0 ] || slow="$slow; $over once over 1 s (slow-unit files)"
  printf '| %s | %s | %s | %s | %s | %s | %s |\n' "$started" "$commit" "$f" "$ran" "$runs" \
    "${found:-none}" "$slow" >>"$log"
  total_runs=$(( total_runs + runs ))
  echo "   $runs executions, findings: ${found:-none}, slowest input $slow"
done
printf '| %s | %s | **all %d** | %s | %s | %s | |\n' "$started" "$commit" "${#fuzzers[@]}" \
  "$total_seconds" "$total_runs" "$([ "$total_found" -eq 0 ] && echo none || echo "$total_found fuzzers")" >>"$log"

# The README's count: every fuzzer line of the log.
so_far="$(awk -F'|' '$4 ~ /fuzz_/ { n += $6 } END { print n + 0 }' "$log")"
sed -i "s/^\( *\)Fuzzing so far: .*/\1Fuzzing so far: $so_far executions (fuzz\/LOG.md)./" "$root/README.md"
echo "== $total_runs executions this round, $so_far in the log"
[ "$total_found" -eq 0 ]
