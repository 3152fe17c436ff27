#!/bin/sh
# Runs tst_deadmount with a volume under a folder whose file system does not answer
# (exFAT through FUSE, its daemon stopped with SIGSTOP, which the test resumes) and a
# live RAM disk beside it. The daemon is resumed and both volumes go whatever happens, and every step
# that may wait on the stopped volume is bounded in time: a hung FUSE daemon stalls
# every process that looks at its mount point. Skips (77) where nothing can be
# mounted: not root, no loop device or FUSE, the tools missing (Debian: exfat-fuse,
# exfatprogs).
# Usage: dead_mount.sh TEST
set -u
test=$1
skip() {
    echo "skipped: $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "mounting needs root"
[ -e /dev/fuse ] || skip "no /dev/fuse"
for command in mkfs.exfat mount.exfat-fuse losetup fusermount timeout pgrep; do
    command -v "$command" >/dev/null 2>&1 || skip "$command is missing"
done

work=$(mktemp -d)
loop=
daemon=
cleanup() {
    [ -z "$daemon" ] || kill -CONT "$daemon" 2>/dev/null
    if grep -q " $work/dead " /proc/self/mounts; then
        timeout 10 fusermount -u "$work/dead" || timeout 10 umount -l "$work/dead"
    fi
    if grep -q " $work/live " /proc/self/mounts; then
        timeout 10 umount "$work/live" || timeout 10 umount -l "$work/live"
    fi
    [ -z "$loop" ] || losetup -d "$loop"
    rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/dead" "$work/live" "$work/start"
truncate -s 64M "$work/image"
timeout 30 mkfs.exfat "$work/image" >/dev/null || skip "mkfs.exfat failed"
loop=$(losetup -f --show "$work/image") || skip "no loop device"
timeout 20 mount.exfat-fuse "$loop" "$work/dead" >/dev/null 2>&1 || skip "exfat-fuse cannot mount here"
timeout 10 mount -t tmpfs -o size=1m tamborel-live "$work/live" || skip "no RAM disk can be mounted here"
daemon=$(pgrep -f "mount.exfat-fuse $loop" | head -n 1)
[ -n "$daemon" ] || skip "the exFAT daemon was not found"
# A folder to enter and an input to merge, on the volume that will not answer; out of
# the system's caches, so that reading them has to ask its daemon.
mkdir "$work/dead/book" && printf 'stuck\r\n' >"$work/dead/in.txt" && printf 'live\r\n' >"$work/live/in.txt" ||
    skip "cannot write to the volumes"
sync
echo 3 >/proc/sys/vm/drop_caches 2>/dev/null
kill -STOP "$daemon"

# Killed outright at its time: a test that waits on the volume may not heed a request
# to end, and Qt Test would try to print where it waited. The script has to end,
# and clean up, well before CTest gives up on it.
# A thread stays waiting on the stopped volume until the program ends, which
# LeakSanitizer, where the tests run under it, cannot stop to look at.
TAMBOREL_DEAD_MOUNT="$work/dead" TAMBOREL_LIVE_MOUNT="$work/live" TAMBOREL_START_FOLDER="$work/start" \
    TAMBOREL_DEAD_DAEMON="$daemon" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" QTEST_DISABLE_STACK_DUMP=1 \
    timeout -s KILL 60 "$test"
