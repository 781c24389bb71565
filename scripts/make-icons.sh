#!/usr/bin/env bash
# Renders the program's icon at the sizes desktops look for, from the
# hand-drawn resources/icons/org.zintaro.Zintaro.svg. The build uses the
# committed PNG files; run this after changing the drawing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
icons="$root/resources/icons"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2; exit 2; }
for size in 48 128 256; do
  mkdir -p "$icons/$size"
  rsvg-convert -w "$size" -h "$size" "$icons/org.zintaro.Zintaro.svg" -o "$icons/$size/org.zintaro.Zintaro.png"
done
