#!/usr/bin/env bash
# The default world with seed 1 must repeat, number for number, the run that
# was recorded once it had been checked step by step: any change of a draw,
# an order or a rounding changes these lines.
set -u
kesmir=$(realpath "$1")
expected=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
"$kesmir" --headless --cycles 36 --delay 0 >out.txt || { echo "FAIL: kesmir exited with $?"; exit 1; }
(cat dt.dat; echo "--"; sed -E 's/[0-9]{2}:[0-9]{2}:[0-9]{2}$//' out.txt) >actual.txt
if ! diff -u "$expected" actual.txt; then
    echo "FAIL: the seeded run differs from the recorded one"
    exit 1
fi
echo "the seeded run repeats the recorded one"
