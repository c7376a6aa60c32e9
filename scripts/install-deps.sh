#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Lumidot need;
# with --fuzz, also the clang toolchain that only `make fuzz` uses.
# Idempotent: packages already installed are left alone, and apt is not touched
# at all when nothing is missing.
set -euo pipefail

packages=(
  cmake ninja-build pkg-config g++ make
  qt6-base-dev librtmidi-dev libjack-jackd2-dev libasound2-dev
  libgtest-dev libbenchmark-dev libgif-dev
  # video import (FFmpeg's libraries, libwebp for animated WebP); the ffmpeg
  # program only makes the tests' and the benchmark's clips
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev libwebp-dev ffmpeg
  # the document file: a ZIP archive (libzip), its plane a PNG (zlib)
  libzip-dev zlib1g-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  jackd2 midicsv python3-mido
  # Qt's own dialogs and menus in Japanese
  qt6-translations-l10n
  # the English translation: lupdate and lrelease, and CMake's qt_add_translations
  qt6-l10n-tools qt6-tools-dev
  # the install and .deb checks: launcher, AppStream metadata, package
  desktop-file-utils appstream dpkg-dev file fakeroot lintian binutils
  # the file types, looked up as a desktop does
  shared-mime-info xdg-utils libglib2.0-bin
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# jackd2 asks whether to enable realtime scheduling; answer for it.
echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
