#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Packs the build as `make deb` does, into a scratch folder, and runs Debian's
# own checker on the package: any error or warning fails (its notes and
# pedantic remarks do not).
# Usage: check-package.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
build=$1 scratch=$2

rm -rf "$scratch"
mkdir -p "$scratch"
(cd "$build" && cpack -G DEB -B "$scratch" >/dev/null) || { echo "FAIL: cpack could not pack the build"; exit 1; }
package=$(find "$scratch" -maxdepth 1 -name '*.deb' | head -n 1)
[ -n "$package" ] || { echo "FAIL: cpack made no package in $scratch"; exit 1; }
# lintian prints its tags on standard output; --fail-on sets the status.
lintian --fail-on error,warning "$package" 2> >(grep -v 'root privileges' >&2) ||
  { echo "FAIL: lintian finds errors or warnings in $package"; exit 1; }
echo "lintian accepts $package"
