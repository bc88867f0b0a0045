#!/usr/bin/env bash
# The plug-in's speed figures: builds px_bench (and with it the plug-in and the stand-in
# viewer) in the wine build, runs it there under Wine and prints its Markdown table.
#   scripts/bench.sh [px_bench options, e.g. --runs=31]
# PX_BENCH_BUILD names another build folder (default: build/wine).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${PX_BENCH_BUILD:-$root/build/wine}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset wine -B "$build" >/dev/null
fi
cmake --build "$build" -j "${JOBS:-2}" --target px_bench >/dev/null

# The display and prefix of that build: started here unless they run already, and then
# ended here too.
env_script="$root/cmake/wine-env.sh"
started=0
if ! { [ -f "$build/wine-display" ] && read -r _ pid < "$build/wine-display" && kill -0 "$pid" 2>/dev/null; }; then
  "$env_script" "$build" start >/dev/null
  started=1
fi
[ "$started" = 1 ] && trap '"$env_script" "$build" stop' EXIT

load_before=$(cut -d' ' -f1 /proc/loadavg)
status=0
PX_BUILD_DIR="$build" timeout 600 "$env_script" "$build" run "$build/bench/px_bench.exe" "$@" || status=$?
load_after=$(cut -d' ' -f1 /proc/loadavg)
echo
echo "Machine load (1-minute average) at the start: $load_before, at the end: $load_after ($(nproc) cores)."
exit $status
