#!/usr/bin/env bash
# Installs the Debian 12 packages that Zintaro needs to build, run and test.
# Safe to run any number of times: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev clang-format clang-tidy git ccache
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libfluidsynth-dev fluid-soundfont-gm libpulse-dev
  # The microphone: pitch detection, and a sound server for its tests.
  libaubio-dev pulseaudio pulseaudio-utils
  librtmidi-dev libasound2-dev jackd2 libjack-jackd2-dev
  # Imports: compressed MusicXML and standard MIDI files.
  libzip-dev libsmf-dev
  libespeak-ng-dev espeak-ng-data
  libgtest-dev libgmock-dev libbenchmark-dev libxcb1-dev xvfb
  fonts-liberation
  # The tests read exported files back with these.
  python3-mido musescore3 poppler-utils libxml2-utils
  # The package is made and checked with these.
  dpkg-dev lintian desktop-file-utils appstream man-db
  # The icon is rendered with this (scripts/make-icons.sh).
  librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
