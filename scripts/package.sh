#!/usr/bin/env bash
# Builds the Debian package of Zintaro in build/package:
#   bash scripts/package.sh
#   sudo apt-get install ./build/package/zintaro_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/build-release.sh" "$root/build/package" package
ls "$root/build/package"/zintaro_*.deb
