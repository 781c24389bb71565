#!/usr/bin/env bash
# Builds Zintaro, installs it into $ZINTARO_HOME (default ~/Zintaro) and
# starts it. Compositions live in $ZINTARO_HOME/files, outside the build
# folder, so cleaning or rebuilding never touches them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
home="${ZINTARO_HOME:-$HOME/Zintaro}"

"$root/scripts/build-release.sh" "$root/build/release"
cmake --install "$root/build/release" --prefix "$home" >/dev/null
mkdir -p "$home/files"
exec "$home/zintaro" "$@"
