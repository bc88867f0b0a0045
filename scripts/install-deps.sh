#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on a Debian 12 machine (as root).
set -euo pipefail
packages=(
  cmake ninja-build g++ googletest libgtest-dev            # native rules and their tests
  g++-mingw-w64-x86-64 g++-mingw-w64-i686                  # the plug-in and the Windows programs
  wine64 xvfb xauth x11-apps                               # running them, on a virtual display
  imagemagick zip unzip                                    # sample images, screenshots, the package
  clang-14 libclang-rt-14-dev                              # sanitizers and fuzzing
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
