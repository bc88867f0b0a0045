#!/usr/bin/env bash
# The README's two commands as a newcomer meets them, on a fresh minimal Debian: makes a
# minimal tree of RELEASE (bookworm or trixie) with debootstrap, puts a clean clone of the
# committed tree at /work/main and a copy of ../shared at /work/shared into it, and runs
# `bash scripts/setup.sh` and then `bash scripts/test.sh` there as root in a chroot (proc,
# sys and dev mounted for them). Prints each one's outcome and time, the ctest summaries and
# whether the real-host tests ran. As root; about 10 minutes a release; not part of the test
# command.
#   scripts/fresh-machine.sh RELEASE [--repo REPO] [--ref REF] [--shared DIR]
#     --repo    the repository to clone (default: the one this script is in)
#     --ref     the branch, tag or commit to check out (default: REPO's HEAD, its branch
#               when on one; for a remote REPO, its default branch)
#     --shared  what to copy to /work/shared (default: ../shared beside this script's tree)
# The tree is PX_FRESH_DIR/RELEASE (default /var/tmp/px-fresh), made afresh each run and
# left afterwards for a look, unmounted and with nothing running; the logs are beside it.
# PX_FRESH_DIR may be relative, end in a slash, hold a symbolic link or a blank: the script
# works on its canonical path, the one the mount table and /proc/PID/root show.
set -euo pipefail
here=$(realpath -e "$(dirname "$0")/..")
usage() { echo "usage: fresh-machine.sh bookworm|trixie [--repo REPO] [--ref REF] [--shared DIR]" >&2; exit 2; }

release=${1:-}
case "$release" in bookworm | trixie) ;; *) usage ;; esac
shift
repo=$here ref="" shared=$here/../shared
while [ $# -gt 0 ]; do
  case "$1" in
    --repo) repo=${2:?}; shift 2 ;;
    --ref) ref=${2:?}; shift 2 ;;
    --shared) shared=${2:?}; shift 2 ;;
    *) usage ;;
  esac
done
[ -d "$repo" ] && repo=$(realpath -e "$repo")
[ -d "$shared" ] && shared=$(realpath -e "$shared")
[ "$(id -u)" = 0 ] || { echo "fresh-machine: run it as root (debootstrap, chroot, mount)" >&2; exit 1; }

base=${PX_FRESH_DIR:-/var/tmp/px-fresh}
mkdir -p "$base"
base=$(realpath -e "$base")
tree=$base/$release
logs=$base/$release.logs
mirror=http://deb.debian.org/debian

# What this script itself needs on the host.
need=()
command -v debootstrap >/dev/null || need+=(debootstrap)
command -v git >/dev/null || need+=(git)
if [ ${#need[@]} -gt 0 ]; then
  echo "fresh-machine: installing ${need[*]}"
  timeout 900 apt-get update -qq
  DEBIAN_FRONTEND=noninteractive timeout 900 apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# The mount points at or below the tree, one a line, the last mounted first. The mount table
# writes a blank, a tab, a newline and a backslash in a path as \040, \011, \012 and \134;
# every backslash there begins such an escape, so each becomes the \0NNN that %b decodes.
mounts_in_tree() {
  local _id _parent _device _root point _rest found=()
  while read -r _id _parent _device _root point _rest; do
    printf -v point '%b' "${point//\\/\\0}"
    if [ "$point" = "$tree" ] || [ "${point#"$tree"/}" != "$point" ]; then found+=("$point"); fi
  done </proc/self/mountinfo
  local i
  for ((i = ${#found[@]} - 1; i >= 0; i--)); do printf '%s\n' "${found[i]}"; done
}
processes_in_tree() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$tree" ] && echo "${p#/proc/}"
  done
  return 0
}
# Ends the step still running, with every process of its group (the step's own children on
# the host, debootstrap's downloads say, as well as those in the tree): asked first, then
# forced.
end_step() {
  [ -n "$step" ] || return 0
  kill -TERM -- "-$step" 2>/dev/null || true
  for _ in $(seq 1 50); do
    kill -0 -- "-$step" 2>/dev/null || break
    sleep 0.2
  done
  kill -KILL -- "-$step" 2>/dev/null || true
  step=""
}
# Ends every process whose root is the tree (by id: asked first, then forced), then unmounts
# everything mounted in it, the last mounted first, lazily when a plain unmount fails.
clean_up() {
  local pids pid
  end_step
  mapfile -t pids < <(processes_in_tree)
  if [ ${#pids[@]} -gt 0 ]; then
    echo "fresh-machine: ending what still runs in the tree: ${pids[*]}"
    kill "${pids[@]}" 2>/dev/null || true
    for _ in $(seq 1 50); do
      [ -z "$(processes_in_tree)" ] && break
      sleep 0.2
    done
    mapfile -t pids < <(processes_in_tree)
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    for _ in $(seq 1 25); do
      [ -z "$(processes_in_tree)" ] && break
      sleep 0.2
    done
  fi
  local point points
  mapfile -t points < <(mounts_in_tree)
  for point in "${points[@]}"; do
    timeout 30 umount "$point" 2>/dev/null || timeout 30 umount -l "$point" || true
  done
  mapfile -t points < <(mounts_in_tree)
  if [ ${#points[@]} -gt 0 ]; then
    echo "fresh-machine: still mounted: ${points[*]}" >&2
    return 1
  fi
}
# A long step in the background, waited for: a signal to this script then ends the wait at
# once (a foreground step would hold the traps until it ends). The step leads a process
# group of its own, so that the cleanup ends all of it: the background child of a script is
# never a group leader, so setsid makes it one in place and its id is the group's.
step=""
waited() {
  local rc=0
  setsid "$@" &
  step=$!
  wait "$step" || rc=$?
  step=""
  return $rc
}
minutes() { printf '%d min %02d s' $(($1 / 60)) $(($1 % 60)); }

# A tree of an earlier run: nothing of it may run or be mounted before it is removed.
clean_up
rm -rf --one-file-system "$tree" "$logs"
mkdir -p "$tree" "$logs"
trap 'clean_up' EXIT
trap 'exit 130' INT TERM

# The committed tree to test: REF of REPO (by default a local REPO's HEAD, its branch when
# on one).
if [ -d "$repo" ]; then
  if [ -z "$ref" ]; then
    ref=$(git -C "$repo" symbolic-ref -q --short HEAD || git -C "$repo" rev-parse HEAD)
  fi
  if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
    echo "fresh-machine: $repo has uncommitted changes; they are not in the clone"
  fi
fi

start=$SECONDS
echo "fresh-machine: debootstrap --variant=minbase $release (log: $logs/debootstrap.log)"
if ! waited timeout 1800 nice -n 10 debootstrap --variant=minbase "$release" "$tree" "$mirror" >"$logs/debootstrap.log" 2>&1; then
  tail -n 20 "$logs/debootstrap.log"
  echo "fresh-machine: debootstrap failed"
  exit 1
fi
echo "fresh-machine: minimal $release tree in $(minutes $((SECONDS - start))): $tree"

# What a fresh install has besides the base: the release's updates and security archives, a
# resolver; and no service started from inside the chroot.
cat >"$tree/etc/apt/sources.list" <<EOF
deb $mirror $release main
deb $mirror $release-updates main
deb http://deb.debian.org/debian-security $release-security main
EOF
cp /etc/resolv.conf "$tree/etc/resolv.conf"
printf '#!/bin/sh\nexit 101\n' >"$tree/usr/sbin/policy-rc.d"
chmod +x "$tree/usr/sbin/policy-rc.d"

mkdir -p "$tree/work"
timeout 600 git clone -q "$repo" "$tree/work/main"
[ -z "$ref" ] || timeout 60 git -C "$tree/work/main" checkout -q "$ref"
echo "fresh-machine: /work/main is ${ref:-the default branch} of $repo:" \
  "$(git -C "$tree/work/main" log -1 --format='%h %s' | cut -c1-90)"
if [ -d "$shared" ]; then
  timeout 600 cp -a "$shared" "$tree/work/shared"
  echo "fresh-machine: /work/shared is a copy of $(cd "$shared" && pwd)"
else
  echo "fresh-machine: no $shared: the real-host tests will be skipped"
fi

# What Wine, Xvfb and apt need of a running system (the trap unmounts them).
mount -t proc proc "$tree/proc"
mount -t sysfs sysfs "$tree/sys"
# The binds of /dev are made slaves: they still see the host's device nodes, but what is
# mounted below them (the tmpfs here, anything the commands mount) never spreads back into
# the host's /dev, nor does their unmount.
mount --bind /dev "$tree/dev"
mount --bind /dev/pts "$tree/dev/pts"
mount --make-rslave "$tree/dev"
mount -t tmpfs -o mode=1777,nosuid,nodev shm "$tree/dev/shm"

# One of the two commands, as root in the chroot with a clean environment; its output in
# the log, its outcome and time printed.
status=0
run_in_tree() {
  local name=$1 limit=$2 command=$3 begin rc=0
  begin=$SECONDS
  echo "fresh-machine: $command (log: $logs/$name.log)"
  waited timeout --kill-after=30 "$limit" nice -n 10 env -i HOME=/root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    chroot "$tree" /bin/bash -c "cd /work/main && $command" </dev/null >"$logs/$name.log" 2>&1 || rc=$?
  if [ $rc = 0 ]; then
    echo "fresh-machine: $command: passed in $(minutes $((SECONDS - begin)))"
  else
    [ $rc = 124 ] && echo "fresh-machine: $command: stopped after $limit s"
    echo "fresh-machine: $command: FAILED (exit code $rc) after $(minutes $((SECONDS - begin)))"
    # ctest's failed entries and gtest's failures, else the log's last lines.
    grep -E '\*\*\*(Failed|Timeout|Exception)|^\[  FAILED  \]|: Failure$' "$logs/$name.log" | head -n 20 |
      sed 's/^/    /' | grep . || tail -n 20 "$logs/$name.log" | sed 's/^/    /'
    status=1
  fi
  # What the commands say of the machine, and any program they did not find.
  grep -E '^install-deps: |^realhost: |^== ctest |tests passed|Total Test time|^screenshot ' "$logs/$name.log" |
    sed 's/^/    /' || true
  grep -E 'command not found|Cannot exec' "$logs/$name.log" | sort -u | head -n 10 | sed 's/^/    missing: /' || true
  # A command ends everything it started: what still runs in the tree a moment later is said.
  local left=() pid
  for _ in $(seq 1 10); do
    mapfile -t left < <(processes_in_tree)
    [ ${#left[@]} = 0 ] && break
    sleep 0.5
  done
  if [ ${#left[@]} -gt 0 ]; then
    echo "fresh-machine: still running in the tree after $command:"
    for pid in "${left[@]}"; do echo "    $pid $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | cut -c1-120)"; done
    status=1
  fi
}
run_in_tree setup 3600 "bash scripts/setup.sh"
run_in_tree test 5400 "bash scripts/test.sh"

# The flows of Double Commander in ctest's lines (realhost.stop is their cleanup, no flow).
flows=$(grep -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: realhost\.' "$logs/test.log" | grep -v 'realhost\.stop ' || true)
skipped=$(grep -c -E 'Skipped|Not Run|Disabled' <<<"$flows" || true)
ran=$(($(grep -c . <<<"$flows" || true) - skipped))
echo "fresh-machine: real-host tests: $ran ran, $skipped skipped"
if [ -d "$shared" ] && { [ "$ran" = 0 ] || [ "$skipped" != 0 ]; }; then
  echo "fresh-machine: the real-host tests did not all run although /work/shared is there"
  status=1
fi
echo "fresh-machine: $release: $([ $status = 0 ] && echo passed || echo FAILED) in $(minutes $((SECONDS - start)))"
exit $status
