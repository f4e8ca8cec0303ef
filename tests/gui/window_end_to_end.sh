#!/usr/bin/env bash
# Runs the real binary with and without a window system, in a scratch
# directory: without one it says so in one line and runs headless; with the
# offscreen platform it opens its window and runs until its cycle limit.
set -u
source "$(dirname "$0")/../end_to_end_helpers.sh"
start_in_scratch "$1"

run_in() {  # directory expected-lines environment...
    local directory=$1 lines=$2
    shift 2
    enter "$directory"
    run 0 "$directory" env "$@" "$kesmir" --cycles "$lines" --delay 0
    [ "$(wc -l <dt.dat)" -eq "$lines" ] || fail "$directory: dt.dat has $(wc -l <dt.dat) lines"
    [ "$(wc -l <out.txt)" -eq "$lines" ] || fail "$directory: $(wc -l <out.txt) status lines"
}

run_in no-display 1 -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
[ "$(wc -l <err.txt)" -eq 1 ] || fail "no display: wanted one line on stderr, got: $(cat err.txt)"
grep -q "^kesmir: no display.*running headless$" err.txt || fail "no display: $(cat err.txt)"
cd ..

run_in silent-display 1 -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4711
grep -q ":4711.*running headless$" err.txt || fail "unreachable display: $(cat err.txt)"
cd ..

run_in offscreen 2 QT_QPA_PLATFORM=offscreen
grep -q "headless" err.txt && fail "offscreen: ran headless: $(cat err.txt)"
cd ..

# A time-lapse: the world every 2 cycles from cycle 0, headless, each told in
# one line on stderr.
enter pictures
run 0 "--png-every" "$kesmir" --headless --cycles 3 --png-every 2 --delay 0
[ "$(ls world-*.png 2>/dev/null | tr '\n' ' ')" = "world-0.png world-2.png " ] ||
    fail "--png-every 2: wrote $(ls)"
[ "$(grep -c '^kesmir: wrote world-[02].png$' err.txt)" -eq 2 ] || fail "--png-every: $(cat err.txt)"
cd ..

finish "window end-to-end"
