#!/bin/bash
# Full-disk sweep of the maintenance operations (run as root: it mounts tmpfs).
# A small tmpfs is the data folder and another the disk; the free space is
# stepped across the sizes that matter, for backup, restore, reading a copy,
# saving a copy and the year-end. Each run must either complete with a result
# that verifies (lhasa t, SQLite's integrity check) or say the true reason
# ("空き容量") and show no completion, leaving the data in use unchanged or
# wholly replaced. Prints one table row per run; exits 1 if any row fails.
#   tests/scripts/full_disk_sweep.sh [build folder] [lines]
set -u
BUILD=${1:-build}
LINES=${2:-3000}
DRIVER=$(readlink -f "$BUILD/tools/full_disk_sweep")
[ -x "$DRIVER" ] || { echo "build $BUILD first (target full_disk_sweep)"; exit 2; }
[ "$(id -u)" = 0 ] || { echo "run as root (tmpfs mounts)"; exit 2; }
W=$(mktemp -d /tmp/murv-sweep-XXXXXX)
DATA=$W/data DISK=$W/disk BOOK=$W/book SET=$W/set
mkdir -p "$DATA" "$DISK" "$SET"
cleanup() { umount -l "$DATA" 2>/dev/null; umount -l "$DISK" 2>/dev/null; rm -rf "$W"; }
trap cleanup EXIT

"$DRIVER" make "$BOOK/data" "$LINES" >/dev/null || { echo "cannot make the book"; exit 2; }
mkdir -p "$SET/data"
cp -a "$BOOK/data/." "$SET/data/"
"$DRIVER" backup "$SET/data" "$SET" >/dev/null
cp "$BOOK/data/MurvData2K.mdb" "$W/copy.mdb"
S=$(stat -c %s "$BOOK/data/MurvData2K.mdb")
A=$(stat -c %s "$SET/murvdata.lzh")
lines() { sqlite3 "file:$1?mode=ro" "select count(*) from 取引明細" 2>/dev/null; }
sound() { [ "$(sqlite3 "file:$1?mode=ro" 'pragma integrity_check' 2>/dev/null)" = ok ]; }
fill() {  # leave $2 bytes free on the tmpfs at $1
    local avail=$(( $(stat -f -c '%a*%S' "$1") ))
    local n=$(( avail - $2 )); [ $n -gt 0 ] && head -c $n /dev/zero >"$1/filler" 2>/dev/null
}
mountsmall() { mount -t tmpfs -o size=16m tmpfs "$1"; }

FAIL=0
printf '| operation | full | free (bytes) | outcome | message | check |\n|---|---|---|---|---|---|\n'
run() {  # op, which side is full (data|disk), free bytes
    local op=$1 side=$2 free=$3
    umount -l "$DATA" 2>/dev/null; umount -l "$DISK" 2>/dev/null
    mountsmall "$DATA"; mountsmall "$DISK"
    cp -a "$BOOK/data/." "$DATA/"
    case $op in
    restore) cp "$SET/Murvctl" "$SET/murvdata.lzh" "$DISK/";;
    readcopy) cp "$W/copy.mdb" "$DISK/";;
    esac
    # The book in use has one line more than the set, to tell them apart.
    sqlite3 "$DATA/MurvData2K.mdb" "insert into 取引明細 (日付, 取引先名, 金額) values ('2026/06/01', 'sweep', 1)"
    local before=$(md5sum <"$DATA/MurvData2K.mdb") n0=$(lines "$DATA/MurvData2K.mdb")
    if [ "$side" = data ]; then fill "$DATA" "$free"; else fill "$DISK" "$free"; fi
    local out
    case $op in
    backup|restore) out=$("$DRIVER" "$op" "$DATA" "$DISK" 2>/dev/null);;
    readcopy) out=$("$DRIVER" readcopy "$DATA" "$DISK/copy.mdb" 2>/dev/null);;
    savecopy) out=$("$DRIVER" savecopy "$DATA" "$DISK/saved.mdb" 2>/dev/null);;
    yearend) out=$("$DRIVER" yearend "$DATA" 2>/dev/null);;
    esac
    local last=$(printf '%s\n' "$out" | grep '^MSG' | tail -1 | cut -f2 | python3 -c 'import sys; print(sys.stdin.read().strip()[:34])')
    local done=no check=ok
    printf '%s' "$out" | grep -qE '終了しました|コピーしました|読込みしました' && done=yes
    printf '%s' "$out" | grep -q 'Unknown error' && check="Unknown error"
    sound "$DATA/MurvData2K.mdb" || check="data file unsound"
    local n1=$(lines "$DATA/MurvData2K.mdb") after=$(md5sum <"$DATA/MurvData2K.mdb")
    if [ $done = yes ]; then
        case $op in
        backup) lhasa t "$DISK/murvdata.lzh" >/dev/null 2>&1 || check="lhasa t fails";;
        restore|readcopy) [ "$n1" = $((n0 - 1)) ] || check="not wholly replaced ($n1)";;
        savecopy) sound "$DISK/saved.mdb" && [ "$(lines "$DISK/saved.mdb")" = "$n0" ] || check="copy unsound";;
        yearend) sound "$DATA/2026年.mdb" || check="archive unsound";;
        esac
        [ "$op" = backup ] || [ "$op" = savecopy ] && [ "$after" != "$before" ] && check="data changed"
        outcome=done
    else
        printf '%s' "$out" | grep -q '空き容量' || check="reason not said"
        [ "$after" = "$before" ] || check="data changed"
        outcome=refused
    fi
    ls -A "$DATA" | grep -qiE '^(murvdata\.(mdb|lzh)|murvctl|\.year-end-|\.unpack-|\.restore-)|\.new$' && check="$check; leftovers: $(ls -A "$DATA" | tr '\n' ' ')"
    [ "$check" = ok ] || FAIL=1
    printf '| %s | %s | %s | %s | %s | %s |\n' "$op" "$side" "$free" "$outcome" "$last" "$check"
}
for free in 0 $((S / 2)) $S $((S + A / 2)) $((S + A)) $((2 * S + A)) $((3 * S)); do run backup data $free; done
for free in 0 $((A / 2)) $((A + 65536)); do run backup disk $free; done
for free in 0 $((A / 2)) $((A + S / 2)) $((A + S)) $((A + 2 * S)) $((3 * S)); do run restore data $free; done
for free in 0 $((S / 2)) $S $((2 * S)); do run readcopy data $free; done
for free in 0 $((S / 2)) $((S + 65536)); do run savecopy disk $free; done
for free in 0 $((S / 2)) $S $((2 * S)); do run yearend data $free; done
echo "data file $S bytes, archive $A bytes, $LINES lines"
exit $FAIL
