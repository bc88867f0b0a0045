#!/usr/bin/env bash
# The plug-in's layers point one way: each folder of src/ may include its own headers and
# those of the folders below it, never one above or beside it; and only src/platform
# includes <windows.h> in C++ code (the version resource script is no C++). Prints each
# include that breaks this and exits 1.
#   scripts/check-layers.sh [SRC_DIR]    (default: src)
set -euo pipefail
cd "$(dirname "$0")/.."
src=${1:-src}

# Which folders each folder may include, besides itself. A subsystem calls another one's
# procedure only where the design has it: the container procedure and the hooks call
# the caption, the load installs the hook procedures.
allowed_for() {
  case "$1" in
    plugin)   echo "config embed hooks caption shared platform" ;;
    embed)    echo "hooks caption shared platform" ;;
    hooks)    echo "caption shared platform" ;;
    caption)  echo "shared platform" ;;
    config)   echo "shared platform" ;;
    shared)   echo "platform" ;;
    platform) echo "" ;;
    *)        echo "?" ;;
  esac
}

status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  allowed=$(allowed_for "$folder")
  if [ "$allowed" = "?" ]; then
    echo "$dir: a folder the layer table does not name (add it to scripts/check-layers.sh)"
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z_]*\)\/.*/\1/p' <<<"$text")
    [ -z "$target" ] || [ "$target" = "$folder" ] && continue
    if ! grep -qw -- "$target" <<<"$allowed"; then
      echo "$file:$line: $folder/ includes $target/; $folder/ may include only $(sed 's#\([a-z_]*\)#\1/#g; s# #, #g' <<<"$folder $allowed")"
      status=1
    fi
  done < <(grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$dir"*.h "$dir"*.cpp 2>/dev/null || true)
  if [ "$folder" != platform ]; then
    while IFS= read -r hit; do
      echo "$hit: only src/platform includes <windows.h>"
      status=1
    done < <(grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*<windows\.h>' "$dir"*.h "$dir"*.cpp 2>/dev/null || true)
  fi
done
[ $status -eq 0 ] && echo "layers: every include in $src points down"
exit $status
