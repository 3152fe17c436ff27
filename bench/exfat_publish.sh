#!/bin/sh
# A merge onto exFAT mounted through FUSE (exfat-fuse), the way USB sticks and SD
# cards are mounted where the kernel has no exFAT driver: such a file system has no
# hard links and takes no rename flags, and the merged file must still appear whole,
# never replace a file, and leave nothing else behind. Every step that touches the
# mount is bounded in time, and the mount always goes: a hung FUSE driver stalls
# every process that reads the mount table.
# Skips (77) where this machine cannot mount one: not root, no loop device or FUSE,
# the tools missing (Debian: exfat-fuse, exfatprogs).
# Usage: exfat_publish.sh TOOL
set -u
tool=$1
skip() {
    echo "skipped: $*"
    exit 77
}
fail() {
    echo "FAILED: $*"
    exit 1
}
[ "$(id -u)" -eq 0 ] || skip "mounting needs root"
[ -e /dev/fuse ] || skip "no /dev/fuse"
for command in mkfs.exfat mount.exfat-fuse losetup fusermount timeout; do
    command -v "$command" >/dev/null 2>&1 || skip "$command is missing"
done

work=$(mktemp -d)
loop=
cleanup() {
    if grep -q " $work/mnt " /proc/self/mounts; then
        timeout 10 fusermount -u "$work/mnt" || timeout 10 umount -l "$work/mnt"
    fi
    [ -z "$loop" ] || losetup -d "$loop"
    rm -rf "$work"
}
trap cleanup EXIT

truncate -s 64M "$work/image"
timeout 30 mkfs.exfat "$work/image" >/dev/null || skip "mkfs.exfat failed"
loop=$(losetup -f --show "$work/image") || skip "no loop device"
mkdir "$work/mnt"
timeout 20 mount.exfat-fuse "$loop" "$work/mnt" >/dev/null 2>&1 || skip "exfat-fuse cannot mount here"

printf 'a1\r\na2' >"$work/a.txt"
printf 'b1\r\n' >"$work/b.txt"
timeout 60 "$tool" "$work/mnt/merged.txt" "$work/a.txt" "$work/b.txt" || fail "the merge onto exFAT failed"
printf 'a1\r\na2\r\n\r\nb1\r\n' >"$work/expected"
cmp -s "$work/expected" "$work/mnt/merged.txt" || fail "the merged file holds other bytes"
[ "$(ls -A "$work/mnt")" = merged.txt ] || fail "more than the merged file is left: $(ls -A "$work/mnt")"

# The name taken: refused, and the file there kept.
timeout 60 "$tool" "$work/mnt/merged.txt" "$work/b.txt" 2>/dev/null && fail "an existing file was merged over"
cmp -s "$work/expected" "$work/mnt/merged.txt" || fail "an existing file was changed"
[ "$(ls -A "$work/mnt")" = merged.txt ] || fail "a refused merge left something: $(ls -A "$work/mnt")"
echo "merged onto exFAT through FUSE"
