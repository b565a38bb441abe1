#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the translations against the sources of today: a copy of each .ts
# is brought up to date by lupdate (a text added since shows as unfinished, a
# text gone as vanished), then every message must be translated.
# Usage: check-translations.sh LUPDATE SOURCE_DIR SCRATCH_DIR
set -euo pipefail
lupdate=$1 source_dir=$2 scratch=$3
rm -rf "$scratch" && mkdir -p "$scratch"
checked=()
for ts in "$source_dir"/translations/*.ts; do
    copy="$scratch/$(basename "$ts")"
    cp "$ts" "$copy"
    "$lupdate" -silent -locations none -I "$source_dir/src" "$source_dir/src/window" "$source_dir/src/app" -ts "$copy"
    checked+=("$copy")
done
python3 "$(dirname "$0")/check-translations.py" "${checked[@]}"
