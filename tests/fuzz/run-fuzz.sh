#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target for the given seconds, one after the other, starting
# from its seed corpus in tests/fuzz/corpus/<target>/. New inputs and any
# crashing input are kept in the build folder, never in the source tree.
# Usage: run-fuzz.sh <fuzz build folder> <seconds per target>
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=$2
seeds=$(cd "$(dirname "$0")/corpus" && pwd)
failed=()
for target in pause_point_file settings_file number_text lrc srt vtt; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  echo "== fuzzing ${target} for ${seconds} s"
  # Memory stays bounded: inputs up to 64 KiB, 1 GiB in all, 10 s per input.
  if ! "$build/${target}_fuzz" -max_total_time="$seconds" -rss_limit_mb=1024 -max_len=65536 -timeout=10 \
       -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds/$target" \
       >"$build/$target.log" 2>&1; then
    tail -n 60 "$build/$target.log"
    echo "** ${target}: failed; the input that failed is in $artifacts/"
    failed+=("$target")
  else
    grep -E '^(Done|stat::number_of_executed_units)' "$build/$target.log" || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing failed: ${failed[*]}"
  exit 1
fi
