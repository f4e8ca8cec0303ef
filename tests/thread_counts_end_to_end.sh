#!/usr/bin/env bash
# Every thread count must give the same run: the default world over many
# cycles on one thread, on two, on three and on eight (more threads than
# cores), its population log compared number for number.
set -u
cycles=${2:-50}
source "$(dirname "$0")/end_to_end_helpers.sh"
start_in_scratch "$1"
for threads in 1 2 3 8; do
    enter "$scratch/threads-$threads"
    run 0 "$threads threads" "$kesmir" --headless --cycles "$cycles" --delay 0 --seed 7 \
        --threads "$threads"
done
cd "$scratch" || exit 1
[ "$(wc -l <threads-1/dt.dat)" -eq "$cycles" ] || fail "one thread's log does not hold a line a cycle"
for threads in 2 3 8; do
    cmp -s threads-1/dt.dat "threads-$threads/dt.dat" ||
        fail "$threads threads: dt.dat differs from one thread's"
done
finish "thread counts"
