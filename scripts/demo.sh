#!/usr/bin/env bash
# The demo: the stand-in host shows a sample image through the plug-in under Wine, in
# Lister mode and in Quick View mode, and saves a screenshot of each; so does Double
# Commander, when it is there (tests/realhost/run.sh says where it is looked for).
#   scripts/demo.sh [IMAGE]    (default: sample images made here)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build/wine"
demo="$root/build/demo"
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }

rm -rf "$demo"
mkdir -p "$demo/plugins/Pixmorant64" "$demo/plugins/Pixmorant" "$demo/images" "$demo/shots"
cp "$build/Pixmorant.wlx64" "$demo/plugins/"
cp "$build/standin/viewer/px_run64.exe" "$demo/plugins/Pixmorant64/"

if [ $# -ge 1 ]; then
  cp "$1" "$demo/images/"
  image="$demo/images/$(basename "$1")"
else
  convert -size 960x640 gradient:'#16324f'-'#3f88c5' \
    -fill '#f2bb05' -draw 'circle 480,320 480,120' \
    -fill '#d74e09' -draw 'rectangle 120,420 360,560' \
    -fill '#124e78' -draw 'polygon 700,120 880,520 560,520' "$demo/images/harbour.png"
  convert -size 960x640 plasma:fractal -seed 7 "$demo/images/plasma.jpg" 2>/dev/null ||
    convert -size 960x640 gradient:green-yellow "$demo/images/plasma.jpg"
  convert -size 640x640 pattern:checkerboard -scale 400% "$demo/images/checkers.bmp"
  image="$demo/images/harbour.png"
fi

# The host's settings file: window colours for the Quick View header.
cat > "$demo/wincmd.ini" <<'INI'
[Configuration]
UseNewDefFont=1
[Colors]
ActiveTitle=7884319
ActiveTitleText=16777215
[Lister]
Maximized=0
INI
export COMMANDER_INI="$(winpath "$demo/wincmd.ini")"

run() { timeout 120 "$root/cmake/wine-env.sh" "$build" run "$@"; }
"$root/cmake/wine-env.sh" "$build" start >/dev/null
trap '"$root/cmake/wine-env.sh" "$build" stop' EXIT

for mode in lister quickview; do
  flag=""
  [ "$mode" = quickview ] && flag="/quickview"
  run "$build/standin/host/px_host.exe" "$(winpath "$demo/plugins/Pixmorant.wlx64")" "$(winpath "$image")" \
    $flag /shot "$(winpath "$demo/shots/$mode.bmp")" /seconds 3 | tr -d '\r'
  convert "$demo/shots/$mode.bmp" "$demo/shots/$mode.png"
  rm -f "$demo/shots/$mode.bmp"
  echo "screenshot ($mode mode): $demo/shots/$mode.png"
done

# The same image in a real file manager: Double Commander's viewer window and Quick View.
"$root/cmake/wine-env.sh" "$build" stop
trap '"$root/cmake/wine-env.sh" "$build/realhost" stop' EXIT
if bash "$root/tests/realhost/run.sh" "$build" --where; then
  PX_REALHOST_FILES="$(dirname "$image")" bash "$root/tests/realhost/run.sh" "$build" \
    "$build/tests/realhost/px_dcdemo.exe" "$(basename "$image")" "$(winpath "$demo/shots")" | tr -d '\r'
  for mode in lister quickview; do
    convert "$demo/shots/doublecmd-$mode.bmp" "$root/docs/demo-doublecmd-$mode.png"
    echo "screenshot (Double Commander, $mode): $root/docs/demo-doublecmd-$mode.png"
  done
fi
