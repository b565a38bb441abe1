#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a build into a scratch prefix and checks what a Linux desktop needs
# from it: every file in its standard place, a desktop entry and AppStream
# metadata that pass their validators, and icons of the sizes their folders name.
# Usage: check-install.sh BUILD_DIR SCRATCH_PREFIX APP_ID VERSION
set -euo pipefail
build=$1 prefix=$2 id=$3 version=$4

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
present() { [ -f "$prefix/$1" ] || { fail "$1 is not installed"; return 1; }; }

present bin/ardeno-recorder && { [ -x "$prefix/bin/ardeno-recorder" ] || fail "bin/ardeno-recorder is not executable"; }
# The program looks for its guide at ../share/ardeno-recorder/ from its own folder.
present share/ardeno-recorder/guide.html || true
present share/ardeno-recorder/waveform.png || true
present share/ardeno-recorder/feedback.png || true
present share/man/man1/ardeno-recorder.1.gz && { zcat "$prefix/share/man/man1/ardeno-recorder.1.gz" | grep -q '^\.SH FILES' || fail "the manual page has no FILES section"; }
present share/doc/ardeno-recorder/copyright || true
present share/doc/ardeno-recorder/changelog.gz || true

desktop=share/applications/$id.desktop
if present "$desktop"; then
  desktop-file-validate "$prefix/$desktop" || fail "$desktop does not validate"
  grep -qx "Exec=ardeno-recorder %f" "$prefix/$desktop" || fail "$desktop does not start ardeno-recorder with the file"
  grep -qx "Icon=$id" "$prefix/$desktop" || fail "$desktop does not name the icon $id"
  for type in audio/mpeg audio/x-wav video/mpeg x-content/video-vcd; do
    grep -q "^MimeType=.*$type;" "$prefix/$desktop" || fail "$desktop does not offer to open $type"
  done
fi

metainfo=share/metainfo/$id.metainfo.xml
if present "$metainfo"; then
  appstreamcli validate --no-net "$prefix/$metainfo" || fail "$metainfo does not validate"
  # Pedantic too, apart from its note on the upper-case letters of the id.
  remarks=$(appstreamcli validate --pedantic --no-net "$prefix/$metainfo" 2>&1 | grep -E '^[EWIP]: ' |
    grep -v 'cid-contains-uppercase-letter' || true)
  [ -z "$remarks" ] || fail "$metainfo: $remarks"
  grep -q '<screenshot type="default">' "$prefix/$metainfo" || fail "$metainfo shows no screenshot"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/$metainfo" ||
    fail "$metainfo does not launch $id.desktop"
  grep -q "<release version=\"$version\"" "$prefix/$metainfo" ||
    fail "$metainfo lists no release $version, the version being built"
fi

present "share/icons/hicolor/scalable/apps/$id.svg" || true
# A PNG's width and height are the two big-endian words at bytes 16 to 23.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4 "x" $5*16777216 + $6*65536 + $7*256 + $8 }'; }
for side in 16 22 24 32 48 64 128 256; do
  png=share/icons/hicolor/${side}x${side}/apps/$id.png
  if present "$png"; then
    actual=$(png_size "$prefix/$png")
    [ "$actual" = "${side}x${side}" ] || fail "$png is $actual"
  fi
done

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) in the installed tree at $prefix"
  exit 1
fi
echo "installed tree at $prefix is complete and valid"
