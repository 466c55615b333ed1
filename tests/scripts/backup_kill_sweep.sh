#!/bin/bash
# Kills the floppy backup with SIGKILL at each unlink, link, rename, write and
# sync it makes on the disk (strace's fault injection), over a disk that
# holds the set of an older book and has room for both sets: once with the
# older set alone, once with the leftovers of a backup killed before (its
# temporaries) and a piece of a still older set beside it. After each kill a
# restore from the disk must bring back one whole book: the older one or the
# new one. Prints the table (moment, what the disk holds, what it restores);
# exits 1 if a restore brings back neither.
#   tests/scripts/backup_kill_sweep.sh [build folder]
set -u
BUILD=${1:-build}
DRIVER=$(readlink -f "$BUILD/tools/full_disk_sweep")
[ -x "$DRIVER" ] || { echo "build $BUILD first (target full_disk_sweep)"; exit 2; }
command -v strace >/dev/null || { echo "strace is needed"; exit 2; }
W=$(mktemp -d /tmp/murv-backup-kill-XXXXXX)
trap 'rm -rf "$W"' EXIT
OLD=2000 NEW=3000 OTHER=100
"$DRIVER" make "$W/old/data" $OLD >/dev/null 2>&1
"$DRIVER" make "$W/new/data" $NEW >/dev/null 2>&1
"$DRIVER" make "$W/other/data" $OTHER >/dev/null 2>&1
mkdir -p "$W/older" "$W/leftovers"
"$DRIVER" backup "$W/old/data" "$W/older" >/dev/null 2>&1
[ -f "$W/older/Murvctl" ] && [ -f "$W/older/murvdata.lzh" ] || { echo "cannot make the older set"; exit 2; }
cp -a "$W/older/." "$W/leftovers/"
head -c 5000 "$W/older/murvdata.lzh" >"$W/leftovers/murvdata.lzh.tmp"
printf 'MurvFddNum= 1' >"$W/leftovers/Murvctl.tmp"
head -c 7000 /dev/urandom >"$W/leftovers/murv_d002"

DISK=
fresh() { rm -rf "$W/data" "$W/disk" && cp -a "$W/new/data" "$W/data" && cp -a "$DISK" "$W/disk"; }
# What a restore from the disk brings back into a third book.
restores() {
    rm -rf "$W/r" && cp -a "$W/other/data" "$W/r"
    "$DRIVER" restore "$W/r" "$W/disk" >/dev/null 2>&1
    case $("$DRIVER" start "$W/r" 2>/dev/null | grep '^START' | cut -f2) in
    $OLD) echo "the older set";; $NEW) echo "the new set";; *) echo "NOTHING";;
    esac
}
listing() { ls -A "$W/disk" | tr '\n' ' ' | sed 's/ $//'; }

SYSCALLS=unlink,unlinkat,link,linkat,rename,renameat,renameat2,write,pwrite64,writev,fsync,fdatasync
FAIL=0 RUNS=0
printf '| # | disk before | killed at | the disk holds | it restores |\n|---|---|---|---|---|\n'
sweep() {  # label, the disk's contents before the backup
    local label=$1 sc k call held what
    DISK=$2
    # One run traced: the calls of the main thread, numbered per system call, that touch the disk.
    fresh
    strace -qq -y -o "$W/trace" -e trace=$SYSCALLS "$DRIVER" backup "$W/data" "$W/disk" >/dev/null 2>&1
    [ "$(restores)" = "the new set" ] || { echo "an uninterrupted backup does not restore the new set"; exit 2; }
    awk -v disk="$W/disk" '
        match($0, /^[a-z0-9_]+\(/) {
            sc = substr($0, 1, RLENGTH - 1); n[sc]++
            if (index($0, disk "/") || index($0, disk ">")) {
                call = $0; sub(/\) += .*/, ")", call)
                gsub(/AT_FDCWD<[^>]*>, /, "", call); gsub(/, AT_SYMLINK_FOLLOW/, "", call)
                gsub(disk "/#[0-9]+ ?", "(new file)", call); gsub(disk "/", "", call); gsub(disk, "disk", call)
                gsub(/[0-9]+</, "<", call); gsub(/\(deleted\)/, "", call)
                if (sc ~ /write/ && match(call, /"[^"]*"/) && RLENGTH > 18)
                    call = substr(call, 1, RSTART + 12) "…" substr(call, RSTART + RLENGTH - 1)
                sub(/, [0-9]+\)$/, ")", call)
                print sc "\t" n[sc] "\t" call
            }
        }' "$W/trace" >"$W/moments"
    while IFS=$'\t' read -r sc k call; do
        fresh
        strace -qq -o /dev/null -e trace="$sc" -e inject="$sc":signal=KILL:when="$k" \
            "$DRIVER" backup "$W/data" "$W/disk" >/dev/null 2>&1
        RUNS=$((RUNS + 1))
        held=$(listing)
        what=$(restores)
        [ "$what" = NOTHING ] && FAIL=1
        printf '| %d | %s | %s | %s | %s |\n' "$RUNS" "$label" "$call" "$held" "$what"
    done <"$W/moments" 2>/dev/null  # (the shell's notes on the killed runs)
    fresh
    "$DRIVER" backup "$W/data" "$W/disk" >/dev/null 2>&1
    printf '| | %s | (not killed) | %s | %s |\n' "$label" "$(listing)" "$(restores)"
}
sweep "older set" "$W/older"
sweep "older set, leftovers" "$W/leftovers"
echo "$RUNS kills over a disk with an older set ($OLD lines) while the new one ($NEW lines) was written:" \
    "$([ $FAIL = 0 ] && echo 'every kill left a disk that restores a whole set' || echo 'SOME LEFT NOTHING TO RESTORE')"
exit $FAIL
