#!/usr/bin/env bash
# Installs what the build, the tests, the demo and the scripts need on Debian 12 or 13 (as
# root), from a minimal system on; does nothing when all is there. Says in one line which
# release it is on and the versions of Wine, MinGW-w64 and clang it found.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

updated=0
update() {
  [ $updated = 1 ] && return 0
  timeout 900 apt-get update -qq
  updated=1
}
# A minimal image may come with no package lists at all: apt-cache then knows no package.
compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null || update

candidate() { apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: //p'; }
available() { local c; c=$(candidate "$1"); [ -n "$c" ] && [ "$c" != "(none)" ]; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# clang with libFuzzer and the sanitizer runtime: the release's own (the unversioned packages
# follow its default version: 14 on Debian 12, 19 on Debian 13), else the versioned packages
# of the newest clang the release has with its runtime. cmake/clang-fuzz.cmake finds it.
if available clang && available libclang-rt-dev; then
  clang=(clang libclang-rt-dev clang-format) clangxx=clang++
else
  versions=$(apt-cache pkgnames clang- | sed -n 's/^clang-\([0-9][0-9]*\)$/\1/p' | sort -rn)
  n=""
  for v in $versions; do
    if available "clang-$v" && available "libclang-rt-$v-dev"; then n=$v && break; fi
  done
  [ -n "$n" ] || { echo "install-deps: this release has no clang with its libclang-rt-*-dev" >&2; exit 1; }
  clang=("clang-$n" "libclang-rt-$n-dev" "clang-format-$n") clangxx=clang++-$n
fi
# The 64-bit Wine loader, /usr/lib/wine/wine64: the wine64 package in Debian 12 and 13.
wine=wine64
available wine64 || wine=wine

packages=(
  cmake ninja-build g++ googletest libgtest-dev            # native rules and their tests
  g++-mingw-w64-x86-64 g++-mingw-w64-i686                  # the plug-in and the Windows programs
  "$wine" xvfb xauth x11-apps                              # running them, on a virtual display
  imagemagick zip unzip xz-utils                           # images, screenshots, the package, Double Commander's .tar.xz
  "${clang[@]}"                                            # sanitizers, fuzzing, scripts/format.sh
  git python3                                              # scripts/format.sh, tests/fuzz/make_seeds.py
)
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  update
  timeout 3600 apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null | sed 's/^[0-9]*://; s/[~+-].*//'; }
. /etc/os-release
echo "install-deps: ${NAME%% *} ${VERSION_ID:-?} (${VERSION_CODENAME:-?}): Wine $(version "$wine")," \
  "MinGW-w64 GCC $(version g++-mingw-w64-x86-64), clang $("$clangxx" -dumpversion) (${clang[0]}, ${clang[1]}), CMake $(version cmake)"
