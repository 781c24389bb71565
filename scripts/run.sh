#!/usr/bin/env bash
# Builds Zintaro, installs it into $ZINTARO_HOME (default ~/Zintaro) and
# starts it. Compositions live in $ZINTARO_HOME/files, outside the build
# folder, so cleaning or rebuilding never touches them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
home="${ZINTARO_HOME:-$HOME/Zintaro}"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
  -DZINTARO_BUILD_TESTS=OFF -DZINTARO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build/release" -j "$(nproc)"
cmake --install "$root/build/release" --prefix "$home" >/dev/null
mkdir -p "$home/files"
exec "$home/zintaro" "$@"
