#!/usr/bin/env bash
# Formats every C and C++ file of the tree in its one style (.clang-format), in place.
#   scripts/format.sh            all tracked .c, .cpp and .h files
#   scripts/format.sh FILE...    only these
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 0 ]; then
  clang-format -i "$@"
else
  git ls-files '*.c' '*.cpp' '*.h' | xargs clang-format -i
fi
