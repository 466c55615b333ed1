#!/bin/bash
# Kills a registration of 5000 typed rows and the year-end update with
# SIGKILL at each write, sync, rename, link and unlink they make in the data
# folder (strace's fault injection), then runs the program's start-up on
# what each kill left and records what it says. Every start must open the
# book without a word, with its lines from before the operation or from
# after it. Prints the table (kills in a row at the same kind of call with
# the same outcome share a line); exits 1 if a start says anything or opens
# neither book.
#   tests/scripts/startup_kill_sweep.sh [build folder]
set -u
BUILD=${1:-build}
DRIVER=$(readlink -f "$BUILD/tools/full_disk_sweep")
[ -x "$DRIVER" ] || { echo "build $BUILD first (target full_disk_sweep)"; exit 2; }
command -v strace >/dev/null || { echo "strace is needed"; exit 2; }
W=$(mktemp -d /tmp/murv-startup-kill-XXXXXX)
trap 'rm -rf "$W"' EXIT
LINES=2000
"$DRIVER" make "$W/book/data" $LINES >/dev/null 2>&1

fresh() { rm -rf "$W/data" && cp -a "$W/book/data" "$W/data"; }
SYSCALLS=write,pwrite64,writev,fsync,fdatasync,ftruncate,rename,renameat,renameat2,link,linkat,unlink,unlinkat
FAIL=0 RUNS=0 SAID=0 OLD=0 NEW=0
printf '| kills | operation | killed at (its calls in the data folder, numbered per system call) | the next start says | the book it opens |\n'
printf '|---|---|---|---|---|\n'
ROW= FIRST= LAST= COUNT=0
flush() {
    [ -n "$ROW" ] || return
    local at=$FIRST
    [ "$LAST" != "$FIRST" ] && at="$FIRST–$LAST"
    IFS=$'\t' read -r op what said book <<<"$ROW"
    printf '| %d | %s | %s #%s | %s | %s |\n' "$COUNT" "$op" "$what" "$at" "$said" "$book"
    ROW= COUNT=0
}
sweep() {  # operation, lines of the book after it
    local op=$1 after=$2 sc k what out start said book row
    fresh
    strace -qq -y -o "$W/trace" -e trace=$SYSCALLS "$DRIVER" "$op" "$W/data" >/dev/null 2>&1
    [ "$("$DRIVER" start "$W/data" 2>/dev/null | grep '^START' | cut -f2)" = "$after" ] ||
        { echo "$op without a kill does not leave $after lines"; exit 2; }
    # The calls of the main thread, numbered per system call, that touch the data folder: the call and its file.
    awk -v data="$W/data" '
        match($0, /^[a-z0-9_]+\(/) {
            sc = substr($0, 1, RLENGTH - 1); n[sc]++
            if (!index($0, data "/") && !index($0, data ">")) next
            if (match($0, /^[a-z0-9_]+\([0-9]+<[^>]*>/)) {
                what = substr($0, RSTART, RLENGTH); sub(/^[a-z0-9_]+\([0-9]+</, "", what); sub(/>$/, "", what)
            } else {
                what = $0; sub(/^[a-z0-9_]+\(/, "", what); sub(/\) += .*/, "", what)
                gsub(/AT_FDCWD<[^>]*>, /, "", what); gsub(/, AT_SYMLINK_FOLLOW/, "", what); gsub(/"/, "", what)
            }
            gsub(data "/", "", what); gsub(data, "data folder", what)
            gsub(/\.year-end-[A-Za-z0-9]+\.tmp/, ".year-end-XXXXXX.tmp", what); gsub(/-mj[0-9A-F]+/, "-mjXXXXXXXX", what)
            gsub(/\/proc\/self\/fd\/[0-9]+|^#[0-9]+/, "(new file)", what)  # a file not named yet
            print sc "\t" n[sc] "\t" sc " " what
        }' "$W/trace" | perl -pe 's/\\([0-7]{3})/chr(oct($1))/ge' >"$W/moments"  # strace's octal bytes as text
    while IFS=$'\t' read -r sc k what; do
        fresh
        strace -qq -o /dev/null -e trace="$sc" -e inject="$sc":signal=KILL:when="$k" \
            "$DRIVER" "$op" "$W/data" >/dev/null 2>&1
        RUNS=$((RUNS + 1))
        out=$("$DRIVER" start "$W/data" 2>/dev/null)
        start=$(printf '%s\n' "$out" | grep '^START' | cut -f2)
        said=$(printf '%s\n' "$out" | grep '^MSG' | cut -f2 | tr '\n' ' ' | sed 's/ $//')
        if [ -n "$said" ]; then SAID=$((SAID + 1)); FAIL=1; else said="(nothing)"; fi
        case $start in
        $LINES) book="the old book ($start lines)"; OLD=$((OLD + 1));;
        $after) book="the new book ($start lines)"; NEW=$((NEW + 1));;
        *) book="NONE ($start)"; FAIL=1;;
        esac
        row="$op"$'\t'"$what"$'\t'"$said"$'\t'"$book"
        [ "$row" != "$ROW" ] && { flush; ROW=$row; FIRST=$k; }
        LAST=$k COUNT=$((COUNT + 1))
    done <"$W/moments" 2>/dev/null  # (the shell's notes on the killed runs)
    flush
}
sweep register $((LINES + 5000))
sweep yearend 0
echo "$RUNS kills: $SAID starts said something, $OLD opened the book as before the operation, $NEW as after it;" \
    "$([ $FAIL = 0 ] && echo 'every start opened a whole book without a word' || echo 'SOME STARTS SAID SOMETHING OR OPENED NO BOOK')"
exit $FAIL
