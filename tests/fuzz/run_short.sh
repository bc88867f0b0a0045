#!/usr/bin/env bash
# One bounded fuzzing run: FUZZER over a fresh copy of its seed corpus in WORK, for SECONDS.
# The seed corpus itself is never written; a crashing input is left in WORK/artifacts.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
cp "$seeds"/* "$work/corpus/"
exec "$fuzzer" "$work/corpus" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1
