#!/usr/bin/env bash
# Runs a real-host program (the tests or the demo) under Wine beside Double Commander, in
# a Wine prefix and on a display of their own (BUILD_DIR/realhost):
#   run.sh BUILD_DIR PROGRAM [ARGS...]
#   run.sh BUILD_DIR --where      one line: where Double Commander comes from, or why not
# Double Commander comes from PX_DOUBLECMD (its .tar.xz, or an unpacked folder), else from
# ../shared/doublecmd/doublecmd-1.1.32-win64.tar.xz beside the source tree. Without either
# the run is skipped: one line saying why, exit code 77.
set -u
build=$(cd "$1" && pwd)
shift
source=$(cd "$(dirname "$0")/../.." && pwd)
from=${PX_DOUBLECMD:-$source/../shared/doublecmd/doublecmd-1.1.32-win64.tar.xz}
if [ ! -e "$from" ]; then
  echo "realhost: skipped: no Double Commander at $from (PX_DOUBLECMD names its .tar.xz or folder)"
  exit 77
fi
from=$(realpath "$from")
if [ "${1:-}" = --where ]; then
  echo "realhost: Double Commander from $from"
  exit 0
fi
root=$build/realhost
dc=$root/doublecmd
mkdir -p "$root"

# Unpacked once for each source. The driver writes only its settings and plugins folders.
if [ "$(cat "$root/doublecmd.from" 2>/dev/null)" != "$from" ] || [ ! -f "$dc/doublecmd.exe" ]; then
  rm -rf "$dc" && mkdir -p "$dc"
  if [ -d "$from" ]; then
    program=$(find "$from" -maxdepth 2 -name doublecmd.exe | head -n 1)
    cp -r "$(dirname "$program")"/. "$dc"/
  else
    tar -xJf "$from" -C "$dc" --strip-components=1
  fi
  echo "$from" > "$root/doublecmd.from"
fi

# The folder both panels show (unless PX_REALHOST_FILES names one): three images in name
# order, and a text file last.
files=${PX_REALHOST_FILES:-$root/files}
if [ -z "${PX_REALHOST_FILES:-}" ] && [ ! -f "$files/d-notes.txt" ]; then
  mkdir -p "$files"
  convert -size 320x200 gradient:'#16324f'-'#3f88c5' -fill '#f2bb05' -draw 'circle 160,100 160,40' "$files/a-harbour.png"
  convert -size 160x160 pattern:checkerboard "$files/b-checkers.bmp"
  convert -size 320x200 plasma:fractal -seed 7 "$files/c-plasma.png"
  echo "Not an image: Lister shows it as text." > "$files/d-notes.txt"
fi

"$source/cmake/wine-env.sh" "$root" start >/dev/null || exit 1
export PX_BUILD_DIR=$build PX_SOURCE_DIR=$source PX_REALHOST_DIR=$root PX_DOUBLECMD_DIR=$dc PX_REALHOST_FILES=$files
exec "$source/cmake/wine-env.sh" "$root" run "$@"
