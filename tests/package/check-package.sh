#!/usr/bin/env bash
# Builds the release zip from a cross build and checks what a user gets from it: the four
# files, an installer description the host accepts, and no pixmorant.ini to overwrite
# the user's own.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
fail() { echo "FAIL: $*"; exit 1; }

bash "$root/scripts/package.sh" "$build" >/dev/null
zip=$(ls "$build"/release/Pixmorant-*.zip)
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"

listing=$(cd "$unpacked" && ls | sort | tr '\n' ' ')
[ "$listing" = "Pixmorant.txt Pixmorant.wlx64 pixmorant.sample.ini pluginst.inf " ] || fail "contents: $listing"
cmp -s "$unpacked/Pixmorant.wlx64" "$build/Pixmorant.wlx64" || fail "the library differs from the build's"

inf=$(tr -d '\r' < "$unpacked/pluginst.inf")
version=$(sed -n 's/^project(Pixmorant VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ "$(echo "$inf" | head -n 1)" = "[plugininstall]" ] || fail "pluginst.inf does not start with [plugininstall]"
for line in "type=wlx" "file=Pixmorant.wlx64" "defaultdir=Pixmorant" "version=$version"; do
  echo "$inf" | grep -qx "$line" || fail "pluginst.inf lacks $line"
done
echo "$inf" | grep -q '^description=..*' || fail "pluginst.inf lacks a description"
grep -q $'\r$' "$unpacked/Pixmorant.txt" || fail "the guide has no Windows line ends"
grep -q 'pixmorant.ini' "$unpacked/Pixmorant.txt" || fail "the guide does not explain pixmorant.ini"
echo "package: 4 files, pluginst.inf for version $version"
