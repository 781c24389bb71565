#!/usr/bin/env bash
# The code's habits: formatted as .clang-format says, and clean under the
# checks of .clang-tidy. Needs a configured build folder for the compile
# commands (the first argument; build/test by default).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/test}"
cd "$root"

echo "== Format check"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== Tidy check"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
if ! run-clang-tidy -quiet -p "$build" -j "$(nproc)" "$root/src/" >"$out" 2>&1 \
    || grep -qE '(warning|error): .*\[[a-z-]+' "$out"; then
  grep -E '(warning|error):' "$out" | grep -v 'warnings generated' || tail -20 "$out"
  exit 1
fi
echo "clang-tidy: clean"
