#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the .deb that `make deb` made: unpacked into a temporary root, its
# programs answer with the package's version; lintian finds no error.
set -euo pipefail
build=${1:-build-deb}
debs=("$build"/lumidot_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-deb: expected one lumidot_*.deb in $build" >&2; exit 1; }
deb=${debs[0]}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
[ "$("$root/usr/bin/lumidot-convert" --version)" = "lumidot-convert $version" ]
[ "$(cd "$root" && env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/lumidot" --version)" = "lumidot $version" ]
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 \
  || { echo "check-deb: the library dependencies were not found" >&2; exit 1; }
lintian --fail-on error "$deb"
echo "check-deb: $(basename "$deb") unpacks and runs; lintian reports no error"
