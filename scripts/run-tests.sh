#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the whole suite headless. Widget tests use Qt's offscreen platform and a
# private runtime folder so that they never need a display.
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
cd "$build"
ctest --output-on-failure -j"$(nproc)"
