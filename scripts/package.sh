#!/usr/bin/env bash
# The release package: a zip the host installs by itself when the user opens it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/wine}
version=$(sed -n 's/^project(Pixmorant VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out="$build/release"
stage="$out/stage"
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/Pixmorant.wlx64" "$stage/"
sed "s/@VERSION@/$version/" package/pluginst.inf > "$stage/pluginst.inf"
cp package/pixmorant.sample.ini "$stage/"
# The user guide is the README's guide section.
{ echo "Pixmorant Lister plug-in (64-bit)"; echo "================================="; echo;
  sed -n '/^<!-- guide -->$/,/^<!-- \/guide -->$/p' README.md | sed '1d;$d' | sed '/^```/d; s/^`\(.*\)`$/\1/'; } > "$stage/Pixmorant.txt"
# Windows line ends for the texts a user opens in Notepad.
for f in "$stage/pluginst.inf" "$stage/pixmorant.sample.ini" "$stage/Pixmorant.txt"; do
  sed -i 's/\r$//; s/$/\r/' "$f"
done
zip="$out/Pixmorant-$version.zip"
rm -f "$zip"
(cd "$stage" && zip -q -X "../$(basename "$zip")" Pixmorant.wlx64 pluginst.inf Pixmorant.txt pixmorant.sample.ini)
echo "release package: $(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")"
