#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the .deb that `make deb` made: unpacked into a temporary root, its
# programs answer with the package's version and carry Debian's hardening
# (PIE, relro, bindnow, the stack protector, fortified functions, a stack that
# is not executable), stripped as dh_strip strips; lintian, pedantic and with
# its informational tags, reports nothing that is not overridden.
set -euo pipefail
build=${1:-build-deb}
debs=("$build"/lumidot_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-deb: expected one lumidot_*.deb in $build" >&2; exit 1; }
deb=${debs[0]}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "check-deb: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
[ "$("$root/usr/bin/lumidot-convert" --version)" = "lumidot-convert $version" ]
[ "$(cd "$root" && env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/lumidot" --version)" = "lumidot $version" ]
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the library dependencies were not found"
[ "$(dpkg-deb -f "$deb" Suggests)" = "jackd2 | pipewire-jack, qpwgraph | qjackctl" ] \
  || fail "Suggests is \"$(dpkg-deb -f "$deb" Suggests)\""
grep -qx 'License: GPL-3+' "$root/usr/share/doc/lumidot/copyright" || fail "the copyright file names no GPL-3+"

for program in "$root"/usr/bin/*; do
  name=$(basename "$program")
  header=$(readelf --file-header "$program")
  segments=$(readelf --program-headers --wide "$program")
  dynamic=$(readelf --dynamic "$program")
  sections=$(readelf --section-headers --wide "$program")
  imports=$(nm --dynamic --undefined-only "$program")
  grep -q 'Type:[[:space:]]*DYN' <<<"$header" || fail "$name is not a position-independent executable"
  grep -q 'GNU_RELRO' <<<"$segments" || fail "$name has no relro segment"
  grep -Eq 'BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || fail "$name is not linked with -z now (bindnow)"
  grep -q 'GNU_STACK.* RW ' <<<"$segments" || fail "$name's stack is executable or missing"
  grep -q ' __stack_chk_fail' <<<"$imports" || fail "$name is built without the stack protector"
  grep -Eq ' __[a-z_]+_chk(@|$)' <<<"$imports" || fail "$name calls no fortified function (_FORTIFY_SOURCE)"
  for section in .comment .note .symtab .debug_info; do
    ! grep -q " \\$section " <<<"$sections" || fail "$name keeps its $section section"
  done
done

# Every tag counts, down to the pedantic and informational ones; the
# package's own overrides (with the reason beside each) silence the rest.
lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$deb"
echo "check-deb: $(basename "$deb") unpacks, runs, is hardened and stripped; lintian reports nothing"
