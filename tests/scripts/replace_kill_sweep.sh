#!/bin/bash
# Kills the replacement of the data file (reading a copy) with SIGKILL at each
# rename, unlink, link and sync it makes (strace's fault injection), then
# starts again: the next start must open a whole book, the old one or the
# new one. Prints one line per kill; exits 1 if any start finds no whole book.
#   tests/scripts/replace_kill_sweep.sh [build folder]
set -u
BUILD=${1:-build}
DRIVER=$(readlink -f "$BUILD/tools/full_disk_sweep")
[ -x "$DRIVER" ] || { echo "build $BUILD first (target full_disk_sweep)"; exit 2; }
W=$(mktemp -d /tmp/murv-kill-XXXXXX)
trap 'rm -rf "$W"' EXIT
"$DRIVER" make "$W/book/data" 2000 >/dev/null 2>&1
"$DRIVER" make "$W/other/data" 500 >/dev/null 2>&1
FAIL=0 RUNS=0
for sc in rename renameat renameat2 unlink unlinkat link linkat fsync fdatasync; do
    rm -rf "$W/data" && cp -a "$W/book/data" "$W/data"
    n=$(strace -f -qq -e trace=$sc "$DRIVER" readcopy "$W/data" "$W/other/data/MurvData2K.mdb" 2>&1 >/dev/null | grep -c "^\(\[pid *[0-9]*\] \)\?$sc(")
    for ((k = 1; k <= n; k++)); do
        rm -rf "$W/data" && cp -a "$W/book/data" "$W/data"
        (strace -f -qq -o /dev/null -e trace=$sc -e inject=$sc:signal=KILL:when=$k \
            "$DRIVER" readcopy "$W/data" "$W/other/data/MurvData2K.mdb" >/dev/null 2>&1) 2>/dev/null
        start=$("$DRIVER" start "$W/data" 2>/dev/null | grep '^START' | cut -f2)
        RUNS=$((RUNS + 1))
        case $start in 2000) book=old;; 500) book=new;; *) book="NONE ($start)"; FAIL=1;; esac
        echo "$sc #$k of $n: next start opens the $book book; left: $(ls -A "$W/data" | tr '\n' ' ')"
    done
done
echo "$RUNS kills, $( [ $FAIL = 0 ] && echo 'every start opened a whole book' || echo 'SOME STARTS FAILED')"
exit $FAIL
