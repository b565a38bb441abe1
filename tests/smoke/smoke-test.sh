#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real executable on a private X server: its window comes with the right
# title at a fixed size, the user guide is handed to the desktop's opener, and
# each way of ending it ends the process with status 0: a close request (as a
# window manager's close box sends it) having written its settings, the Exit
# button and the Esc key having written nothing. And --help, --version and
# an unknown option are answered in the terminal without any display.
#   smoke-test.sh WINDOW_PROBE PROGRAM GUIDE_PAGE
set -euo pipefail
probe=$1 program=$2 guide=$3

# Centre of the Exit button (template 169,226 50x16 in a 457x243 window).
exit_button="0.4245,0.963"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs a fresh copy of the program under the probe, ended the way the
# arguments say; sets $work (its folder) and $result (what the probe saw).
run() {
  work=$(mktemp -d)
  # A copy of the program keeps its settings file out of the build tree.
  cp "$program" "$guide" "$work/"
  # The guide opened at start-up goes to this stand-in for xdg-open, not to a
  # browser.
  mkdir "$work/bin"
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s/opened"\n' "$work" > "$work/bin/xdg-open"
  chmod +x "$work/bin/xdg-open"
  result=$(PATH="$work/bin:$PATH" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$probe" --title "Ardeno Audio Recorder" --settle-ms 500 --timeout-ms 30000 "$@" \
    -- "$work/$(basename "$program")") || fail "the probe failed ($*)"
  echo "$result"
}
field() { sed -n "s/.*\"$1\": \([^,}]*\).*/\1/p" <<<"$result"; }

# The terminal's requests are answered without a display or a window.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help) || fail "--help did not exit 0"
grep -q '^Usage: ardeno-recorder' <<<"$out" || fail "--help printed no usage: $out"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version) || fail "--version did not exit 0"
grep -qx 'ardeno-recorder [0-9.]*' <<<"$out" || fail "--version printed '$out'"
status=0; env -u DISPLAY -u WAYLAND_DISPLAY "$program" --no-such-option 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "an unknown option ended with status $status, not 2"

run
trap 'rm -rf "$work"' EXIT
[ "$(field fixed_size)" = true ] || fail "the window's size is not fixed"
width=$(field width) height=$(field height)
{ [ "$width" -ge 600 ] && [ "$width" -le 1100 ] && [ "$height" -ge 300 ] && [ "$height" -le 600 ]; } ||
  fail "window of ${width}x${height} pixels, expected about 800x400"
[ "$(field exit_code)" = 0 ] || fail "exit code $(field exit_code)"
[ -s "$work/ardeno-recorder.ini" ] || fail "closing did not write the settings file"
grep -qx "file://$work/guide.html" "$work/opened" 2>/dev/null ||
  fail "the user guide was not opened (asked: $(cat "$work/opened" 2>/dev/null))"
rm -rf "$work"

for ending in "--end-click $exit_button" "--end-escape"; do
  # shellcheck disable=SC2086
  run $ending
  [ "$(field exit_code)" = 0 ] || fail "exit code $(field exit_code) after $ending"
  [ ! -e "$work/ardeno-recorder.ini" ] || fail "$ending wrote the settings file"
  rm -rf "$work"
done
echo "smoke test passed"
