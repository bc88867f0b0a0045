#!/usr/bin/env bash
# Every test: the layers of the plug-in's code, the pure rules natively, again under AddressSanitizer and
# UndefinedBehaviorSanitizer, short fuzzing runs, and the Windows tests under Wine, with the stand-in
# host and in Double Commander.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=${JOBS:-2}
status=0
run() { echo "== $*"; "$@" || status=1; }

run bash scripts/check-layers.sh

run cmake --preset native >/dev/null
run cmake --build --preset native -j "$jobs"
run ctest --preset native

run cmake --preset native-asan >/dev/null
run cmake --build --preset native-asan -j "$jobs"
run ctest --preset native-asan

if [ -f tests/fuzz/CMakeLists.txt ]; then
  run cmake --preset fuzz >/dev/null
  run cmake --build --preset fuzz -j "$jobs"
  run ctest --preset fuzz
fi

run cmake --preset wine >/dev/null
run cmake --build --preset wine -j "$jobs"
bash tests/realhost/run.sh build/wine --where || true  # the real-host tests run, or why they are skipped
run ctest --preset wine

exit $status
