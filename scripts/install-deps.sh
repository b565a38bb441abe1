#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package listed in packages.txt that is not installed yet.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$here/packages.txt")
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# A decimal-comma locale, so that the tests can check that numbers in files
# stay C-locale text under it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
