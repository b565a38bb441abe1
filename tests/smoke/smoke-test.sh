#!/usr/bin/env bash
# The real executable on a private X server: its window comes with the right
# title at a fixed size, the user guide is handed to the desktop's opener, and
# a close request (as a window manager's close box sends it) ends the program
# cleanly, having written its settings.
#   smoke-test.sh WINDOW_PROBE PROGRAM GUIDE_PAGE
set -euo pipefail
probe=$1 program=$2 guide=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy of the program keeps its settings file out of the build tree.
cp "$program" "$guide" "$work/"
# The guide opened at start-up goes to this stand-in for xdg-open, not to a
# browser.
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

result=$(PATH="$work/bin:$PATH" xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$probe" --title "Ardeno Audio Recorder" --settle-ms 500 --timeout-ms 30000 -- "$work/$(basename "$program")")
echo "$result"

fail() { echo "FAIL: $*" >&2; exit 1; }
field() { sed -n "s/.*\"$1\": \([^,}]*\).*/\1/p" <<<"$result"; }
[ "$(field fixed_size)" = true ] || fail "the window's size is not fixed"
width=$(field width) height=$(field height)
{ [ "$width" -ge 600 ] && [ "$width" -le 1100 ] && [ "$height" -ge 300 ] && [ "$height" -le 600 ]; } ||
  fail "window of ${width}x${height} pixels, expected about 800x400"
[ "$(field exit_code)" = 0 ] || fail "exit code $(field exit_code)"
[ -s "$work/ardeno-recorder.ini" ] || fail "closing did not write the settings file"
grep -qx "file://$work/guide.html" "$work/opened" 2>/dev/null ||
  fail "the user guide was not opened (asked: $(cat "$work/opened" 2>/dev/null))"
echo "smoke test passed"
