#!/usr/bin/env bash
# The Windows side of a build: a Wine prefix and an Xvfb display of the build's own.
#   wine-env.sh BUILD_DIR start   create the prefix (first time) and start the display
#   wine-env.sh BUILD_DIR stop    end every Windows process of the prefix and the display
#   wine-env.sh BUILD_DIR run EXE [ARGS...]   run a Windows program there (the CMake emulator)
#   wine-env.sh BUILD_DIR free-display        print the display number a start would try first
set -u
build=$(cd "$1" && pwd); shift
what=$1; shift
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# Wine writes Windows file names in the locale's character set: without a UTF-8 locale (a
# minimal system or container sets none) a name outside ASCII cannot be made.
case "$(locale charmap 2>/dev/null)" in UTF-8) ;; *) export LC_ALL=C.UTF-8 ;; esac
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
state="$build/wine-display"

display_alive() {
  [ -f "$state" ] || return 1
  read -r num pid < "$state" || return 1
  kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$num" ]
}

# A display number is taken when its socket file or lock file is in /tmp, or when a server
# listens on its abstract socket: that name is shared by every /tmp on the machine (a chroot
# or a container of the same network namespace), and X clients try it first.
display_taken() {
  [ -e "/tmp/.X11-unix/X$1" ] || [ -e "/tmp/.X$1-lock" ] && return 0
  [ -r /proc/net/unix ] && grep -q " @/tmp/.X11-unix/X$1\$" /proc/net/unix
}

free_displays() {
  local num
  for num in $(seq 90 140); do
    display_taken "$num" || echo "$num"
  done
}

start_display() {
  display_alive && return 0
  for num in $(free_displays); do
    display_taken "$num" && continue  # taken since the list was made
    Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 9>&- &
    pid=$!
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$num" ] && break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$num" ]; then
      echo "$num $pid" > "$state"
      return 0
    fi
  done
  echo "wine-env: no free X display" >&2
  return 1
}

use_display() {
  # Always the build's own display: synthetic input must not reach a desktop in use. The
  # lock is the machine's, not the build's: two prefixes starting at once (the stand-in
  # tests and the real host's) must not both find the same number free.
  (flock 9; start_display) 9>/tmp/.px-wine-display.lock || exit 1
  read -r num pid < "$state"
  export DISPLAY=":$num"
}

case "$what" in
  start)
    use_display
    if [ ! -f "$WINEPREFIX/.px-desktop" ]; then
      timeout 120 "$wine" wineboot -i >/dev/null 2>&1
      # One virtual desktop for every program: with no window manager on the display, Wine
      # otherwise waits two seconds on each top-level window it destroys.
      timeout 60 "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      timeout 60 "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
      timeout 60 "$wineserver" -w
      touch "$WINEPREFIX/.px-desktop"
    fi
    echo "wine prefix $WINEPREFIX on display $DISPLAY"
    ;;
  stop)
    timeout 30 "$wineserver" -k 2>/dev/null
    if display_alive; then
      read -r num pid < "$state"
      kill "$pid" 2>/dev/null
    fi
    rm -f "$state"
    ;;
  run)
    use_display
    exec "$wine" "$@"
    ;;
  free-display)
    free_displays | head -n 1 | grep . || { echo "wine-env: no free X display" >&2; exit 1; }
    ;;
  *) echo "usage: wine-env.sh BUILD_DIR start|stop|run EXE ARGS|free-display" >&2; exit 2 ;;
esac
