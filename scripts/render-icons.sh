#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the program's icon, data/icons/lumidot.svg, into the PNG sizes of
# the hicolor theme that are kept beside it (and embedded as the window's
# icon). Run after changing the SVG; needs rsvg-convert (Debian librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
command -v rsvg-convert >/dev/null || { echo "install librsvg2-bin for rsvg-convert" >&2; exit 1; }
for size in 16 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" lumidot.svg -o "${size}x${size}/lumidot.png"
done
