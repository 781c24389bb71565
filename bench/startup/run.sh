#!/usr/bin/env bash
# Start-up of Zintaro against an empty Qt window, launched alternately in the
# same run: time from launch to the window being mapped, to the built-in
# synthesizer being ready (the program prints ZINTARO_SYNTH_READY when
# ZINTARO_BENCH_STARTUP is set), resident peak 2 s after mapping, and CPU
# per second over the next CPU_SECONDS (Zintaro starts in the trainer).
# Prints the medians of RUNS launches.
#
#   bash bench/startup/run.sh [BUILD_DIR [LABEL=PROGRAM ...]]
#   RUNS=7 CPU_SECONDS=5 bash bench/startup/run.sh build
#   bash bench/startup/run.sh build before=/path/to/old/zintaro after=build/src/app/zintaro
# BUILD_DIR (default: build) holds the two measuring tools; the programs
# default to zintaro=BUILD_DIR/src/app/zintaro.
#
# Uses the X display if there is one, else starts Xvfb. The synthesizer
# sounds through the machine's sound server; on a machine without one,
# start a PulseAudio with a null sink first (`apt-get install pulseaudio`):
#   pulseaudio -D --exit-idle-time=-1 && pactl load-module module-null-sink
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${RUNS:-7}"
cpu_seconds="${CPU_SECONDS:-5}"
watch="$build/bench/startup/launch_watch"
empty="$build/bench/startup/empty_qt_window"
shift || true
programs=("$@")
[ ${#programs[@]} -eq 0 ] && programs=("zintaro=$build/src/app/zintaro")
for f in "$watch" "$empty"; do
  [ -x "$f" ] || { echo "missing $f: build the targets launch_watch empty_qt_window" >&2; exit 2; }
done

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || { echo "no X display and no Xvfb (apt-get install xvfb)" >&2; exit 2; }
  display=":$((90 + RANDOM % 400))"
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
  sleep 1
fi
export QT_QPA_PLATFORM=xcb ZINTARO_BENCH_STARTUP=1
# The program keeps its compositions beside itself: a scratch home each.
scratch="$(mktemp -d)"
trap 'cleanup; rm -rf "$scratch"' EXIT
labels=(empty)
declare -A path results
path[empty]="$empty"
for entry in "${programs[@]}"; do
  label="${entry%%=*}"
  file="${entry#*=}"
  [ -x "$file" ] || { echo "missing $file" >&2; exit 2; }
  mkdir -p "$scratch/$label"
  cp "$file" "$scratch/$label/zintaro"
  path[$label]="$scratch/$label/zintaro"
  labels+=("$label")
done

# Launched in turn within each round, so that all share the machine's mood.
for i in $(seq "$runs"); do
  for label in "${labels[@]}"; do
    results[$label]+="$("$watch" "$cpu_seconds" "${path[$label]}" 2>/dev/null)"$'\n'
  done
done

median() { # field name, lines on stdin
  grep -o "$1=[-0-9.]*" | cut -d= -f2 | sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'
}
printf '%-8s %10s %15s %9s %14s   (medians of %s launches, CPU over %s s)\n' \
  program mapped_ms synth_ready_ms peak_mb cpu_ms_per_s "$runs" "$cpu_seconds"
for p in "${labels[@]}"; do
  printf '%-8s %10s %15s %9s %14s\n' "$p" \
    "$(median mapped_ms <<<"${results[$p]}")" "$(median synth_ready_ms <<<"${results[$p]}")" \
    "$(median peak_mb <<<"${results[$p]}")" "$(median cpu_ms_per_s <<<"${results[$p]}")"
done
