#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a build into a staging folder (DESTDIR) and into a moved prefix, and
# checks what a desktop and a packager rely on: the launcher, the AppStream
# metadata, the file types, the icon, the man pages, the manual in both
# languages and the translation, one version everywhere, and a relocated
# program that still finds its manual. Needs no display.
set -euo pipefail
build=$(realpath "${1:-build-deb}")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cd "$root"   # a manual in the current folder would be found first

DESTDIR="$root/staged" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/staged/usr"
for file in bin/lumidot bin/lumidot-convert share/applications/lumidot.desktop \
    share/icons/hicolor/scalable/apps/lumidot.svg share/icons/hicolor/48x48/apps/lumidot.png \
    share/man/man1/lumidot.1.gz share/man/man1/lumidot-convert.1.gz share/lumidot/lumidot.html \
    share/lumidot/lumidot_en.html share/lumidot/translations/lumidot_en.qm share/mime/packages/lumidot.xml; do
  [ -f "$usr/$file" ] || { echo "check-install: $file was not installed" >&2; exit 1; }
done
desktop-file-validate "$usr/share/applications/lumidot.desktop"
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml

version=$("$usr/bin/lumidot-convert" --version | sed -n 's/^lumidot-convert //p')
[ -n "$version" ] || { echo "check-install: lumidot-convert --version printed no version" >&2; exit 1; }
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/lumidot" --version)" = "lumidot $version" ]
grep -q "<release version=\"$version\"" "$usr"/share/metainfo/*.metainfo.xml
zcat "$usr/share/man/man1/lumidot.1.gz" | grep -q "\"Lumidot $version\""

# The same build installed under another prefix finds the manual it brought.
cmake --install "$build" --prefix "$root/moved/opt/lumidot" >/dev/null
env -u DISPLAY -u WAYLAND_DISPLAY "$root/moved/opt/lumidot/bin/lumidot" --help \
  | grep -qxF "manual: $root/moved/opt/lumidot/share/lumidot/lumidot.html"
echo "check-install: staged and relocated installs of $version are complete and valid"
