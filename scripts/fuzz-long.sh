#!/usr/bin/env bash
# Longer fuzzing runs: builds the fuzz preset and runs every fuzz target, one at a time,
# for SECONDS each (default 300) over a fresh copy of its seed corpus, then prints one
# table row per target: executions, coverage (cov: and ft: of libFuzzer's final line) and
# crashes. A run stops at its first crash; the input is kept under the run's folder.
#   scripts/fuzz-long.sh [SECONDS]        FUZZ_BUILD_DIR=/tmp/b-fuzz to build elsewhere
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
build=${FUZZ_BUILD_DIR:-build/fuzz}
jobs=${JOBS:-2}

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j "$jobs" >/dev/null

runs="$build/long"
rm -rf "$runs"
mkdir -p "$runs"
status=0
rows=()
for fuzzer in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] && [ -f "$fuzzer" ] || continue
  name=${fuzzer##*/fuzz_}
  work="$runs/$name"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp tests/fuzz/corpus/"$name"/* "$work/corpus/"
  echo "== $name: ${seconds} s" >&2
  rc=0
  "$fuzzer" "$work/corpus" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$work/artifacts/" -print_final_stats=1 >"$work/log" 2>&1 || rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
  final=$(grep -E '^#[0-9]+' "$work/log" | grep ' cov: ' | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$final")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$final")
  crashes=$(find "$work/artifacts" -type f | wc -l)
  if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ]; then
    status=1
    for artifact in "$work"/artifacts/*; do [ -e "$artifact" ] && echo "   crash input: $artifact" >&2; done
    echo "   log: $work/log" >&2
  fi
  rows+=("| $name | ${execs:-?} | ${cov:-?} | ${ft:-?} | $crashes |")
done

# The compiler the fuzz preset chose (cmake/clang-fuzz.cmake), as the build's cache holds it.
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
echo
echo "Fuzzing, ${seconds} s per target ($(basename "$cxx"), clang $("$cxx" -dumpversion), -fsanitize=fuzzer,address,undefined):"
echo
echo "| target | executions | cov | ft | crashes |"
echo "| --- | ---: | ---: | ---: | ---: |"
printf '%s\n' "${rows[@]}"
exit $status
