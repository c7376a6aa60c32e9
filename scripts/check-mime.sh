#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the file types Lumidot declares: data/lumidot.xml compiles with
# update-mime-database into a temporary folder, and xdg-mime, asked as a
# desktop asks, finds each format both by its file name and by its content
# alone; the launcher and the AppStream metadata name the same types.
# Needs shared-mime-info, xdg-utils and GLib's gio (libglib2.0-bin).
set -euo pipefail
source_dir=$(realpath "${1:-.}")
data="$source_dir/data"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "check-mime: $*" >&2; exit 1; }
for tool in update-mime-database xdg-mime gio; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh"
done

# The database in a folder of its own, found first as a user's own would be.
export XDG_DATA_HOME="$tmp/share"
mkdir -p "$XDG_DATA_HOME/mime/packages"
cp "$data/lumidot.xml" "$XDG_DATA_HOME/mime/packages/"
messages=$(update-mime-database "$XDG_DATA_HOME/mime" 2>&1) || fail "update-mime-database failed: $messages"
[ -z "$messages" ] || fail "update-mime-database complained: $messages"

# One small file of each format, as Lumidot writes its first bytes.
samples="$tmp/samples"
mkdir "$samples"
printf '\xF0\x42\x30\x42\x7D\x00\xF7' >"$samples/colour.syx"
printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0MTrk\x00\x00\x00\x04\x00\xFF\x2F\x00' >"$samples/song.mid"
printf 'RCPPR\x01\x00\x00' >"$samples/song.prt"
printf 'SSW Exc Data Ver1.00W           \x00\x00' >"$samples/library.exc"
# The document: a ZIP whose first entry, stored, is "mimetype".
python3 - "$samples/work.lumidot" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr(zipfile.ZipInfo("mimetype"), "application/x-lumidot", compress_type=zipfile.ZIP_STORED)
    z.writestr("recording.syx", b"\xF0\x42\x30\x42\x7D\x00\xF7" * 20, compress_type=zipfile.ZIP_DEFLATED)
PY

# GNOME's way, through gio, reads the shared-mime-info database; without a
# desktop xdg-mime would ask file(1), which knows nothing of it.
filetype() { XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$1"; }
expect() {
  local file=$1 type=$2 found
  found=$(filetype "$samples/$file")
  [ "$found" = "$type" ] || fail "$file is $found by its name, not $type"
  cp "$samples/$file" "$samples/unnamed"
  found=$(filetype "$samples/unnamed")
  [ "$found" = "$type" ] || fail "$file is $found by its content, not $type"
}
expect colour.syx audio/x-sysex
expect song.mid audio/midi
expect song.prt audio/x-recomposer-prt
expect library.exc audio/x-ssw-exc
expect work.lumidot application/x-lumidot

# Every type declared here is one the launcher opens and the metadata names.
declared=$(grep -o '<mime-type type="[^"]*"' "$data/lumidot.xml" | cut -d'"' -f2 | sort)
launcher=$(sed -n 's/^MimeType=//p' "$data/lumidot.desktop" | tr ';' '\n' | sed '/^$/d' | sort)
metainfo=$(grep -o '<mediatype>[^<]*' "$data/org.example.lumidot.metainfo.xml.in" | cut -d'>' -f2 | sort)
expected=$(printf '%s\naudio/midi\n' "$declared" | sort)
[ "$launcher" = "$expected" ] || fail "the launcher's MimeType= differs: $(echo $launcher)"
[ "$metainfo" = "$expected" ] || fail "the metainfo's mediatypes differ: $(echo $metainfo)"
echo "check-mime: $(echo "$declared" | wc -l) types compile, are found by name and content, and are declared alike"
