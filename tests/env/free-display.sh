#!/usr/bin/env bash
# The display a build starts is one no server uses: also not one whose name a server holds
# only as an abstract socket (as a server on the host does, seen from a chroot or container
# whose /tmp has no socket or lock file for it). A listener holds the abstract name of the
# display that would be taken first; then that display must be passed over.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
env_script="$root/cmake/wine-env.sh"
work=$(mktemp -d)
holder=""
trap '[ -z "$holder" ] || kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

first=$("$env_script" "$work" free-display) || fail "no free display to begin with"
python3 -c '
import socket, sys, time
s = socket.socket(socket.AF_UNIX)
s.bind("\0/tmp/.X11-unix/X" + sys.argv[1])
s.listen(1)
time.sleep(60)' "$first" &
holder=$!
for _ in $(seq 1 50); do
  grep -q " @/tmp/.X11-unix/X$first\$" /proc/net/unix && break
  kill -0 "$holder" 2>/dev/null || fail "could not hold the abstract socket of :$first"
  sleep 0.1
done
grep -q " @/tmp/.X11-unix/X$first\$" /proc/net/unix || fail "the abstract socket of :$first did not appear"

next=$("$env_script" "$work" free-display) || fail "no free display besides :$first"
[ "$next" != "$first" ] || fail ":$first is chosen although a server holds its abstract socket"
echo "display: :$first held by an abstract socket only, :$next chosen"
