#!/usr/bin/env bash
# Installs what is needed, builds the plug-in and its release package, and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset wine >/dev/null
cmake --build --preset wine -j "${JOBS:-2}"
bash scripts/package.sh build/wine
bash scripts/demo.sh "$@"
