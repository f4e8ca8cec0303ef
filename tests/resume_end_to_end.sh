#!/usr/bin/env bash
# The real binary, as a user runs experiments: parameters from the command
# line and from a file, a checkpoint written during a run, and a run resumed
# from it that repeats the uninterrupted run line for line, headless and with
# the window, with other delays; damaged checkpoints are refused.
set -u
source "$(dirname "$0")/end_to_end_helpers.sh"
start_in_scratch "$1"

# Status lines less their time stamps, from the given cycle on.
status_from() { awk -v from="$2" '$1 >= from' "$1" | sed -E 's/[0-9]{2}:[0-9]{2}:[0-9]{2}$//'; }

# --- parameters
run 0 "--print-params" "$kesmir" --print-params
[ "$(grep -c ' = ' out.txt)" -eq 15 ] || fail "--print-params: $(cat out.txt)"
grep -qx "HRenergy = 65" out.txt || fail "--print-params shows HRenergy as: $(grep HRenergy out.txt)"
sed 's/^HRenergy = .*/HRenergy = 80  # richer herbivores/' out.txt >experiment.txt
run 0 "--params" "$kesmir" --params experiment.txt --print-params
cmp -s out.txt <(sed 's/^HRenergy = .*/HRenergy = 80/' experiment.txt) ||
    fail "--params then --print-params: $(cat out.txt)"
run 0 "later --set" "$kesmir" --params experiment.txt --set HRenergy=70.5 --print-params
grep -qx "HRenergy = 70.5" out.txt || fail "a later --set lost to the file"
run 0 "earlier --set" "$kesmir" --set HRenergy=70.5 --params=experiment.txt --print-params
grep -qx "HRenergy = 80" out.txt || fail "an earlier --set won over the file"

printf 'HNoffset = 19.5\n' >bad.txt
for args in "--set HRenergi=3" "--set HRenergy=1e39" "--params missing.txt" "--print-params=yes" \
            "--checkpoint-every 0" "--resume" "--resume x.kes --seed 2"; do
    # shellcheck disable=SC2086
    refused "kesmir $args" "$kesmir" $args
done
refused "a bad parameter file" "$kesmir" --params bad.txt
grep -qx 'kesmir: --params: bad.txt line 1: HNoffset: "19.5" is not a whole number' err.txt ||
    fail "bad parameter file: $(cat err.txt)"

# --- a parameter changes the run
mkdir plain richer
(cd plain && "$kesmir" --headless --cycles 4 --delay 0 >out.txt) || fail "plain run"
(cd richer && "$kesmir" --headless --cycles 4 --delay 0 --set HRenergy=300 >out.txt) || fail "richer run"
cmp -s plain/dt.dat richer/dt.dat && fail "--set HRenergy=300 did not change the run"

# --- resume: 12 cycles straight against 6, a checkpoint, and 6 more
enter straight
run 0 "straight run" "$kesmir" --headless --cycles 12 --delay 0 --set CSoffset=2
status_from out.txt 6 >../expected-status.txt
awk '$1 >= 6' dt.dat >../expected-log.txt
awk -F, 'NR == 1 || $1 >= 6' traits.csv >../expected-traits.txt
cd ..
enter first
run 0 "run with checkpoints" "$kesmir" --headless --cycles 8 --delay 0 --set CSoffset=2 --checkpoint-every 6
grep -q "^kesmir: cycle 6 saved in .*/first/checkpoint.kes$" err.txt || fail "checkpoint line: $(cat err.txt)"
run 0 "resumed parameters" "$kesmir" --resume checkpoint.kes --print-params
grep -qx "CSoffset = 2" out.txt || fail "the checkpoint lost CSoffset: $(cat out.txt)"
cd ..

resume_in() {  # directory environment options...
    local directory=$1 environment=$2
    shift 2
    enter "$directory"
    cp ../first/checkpoint.kes .
    printf 'old\n' >dt.dat
    printf 'old\n' >traits.csv
    # shellcheck disable=SC2086
    run 0 "$directory" env $environment "$kesmir" --resume checkpoint.kes --cycles 12 "$@"
    status_from out.txt 0 | cmp -s - ../expected-status.txt ||
        fail "$directory: status lines differ from the uninterrupted run"
    cmp -s dt.dat ../expected-log.txt || fail "$directory: dt.dat differs from the uninterrupted run"
    cmp -s traits.csv ../expected-traits.txt ||
        fail "$directory: traits.csv differs from the uninterrupted run"
    cd ..
}
resume_in headless "" --headless --delay 0
resume_in slow "" --headless --delay 25
resume_in window QT_QPA_PLATFORM=offscreen --delay 2
grep -q headless window/err.txt && fail "window: ran headless: $(cat window/err.txt)"

enter override
run 0 "--set over a checkpoint" "$kesmir" --resume ../first/checkpoint.kes --set CSoffset=3 \
    --print-params
grep -qx "kesmir: CSoffset = 3 over the checkpoint's 2" err.txt || fail "override: $(cat err.txt)"
grep -qx "CSoffset = 3" out.txt || fail "override lost: $(grep CSoffset out.txt)"
run 0 "--cycles reached" "$kesmir" --headless --resume ../first/checkpoint.kes --cycles 6 --delay 0
[ ! -s out.txt ] || fail "a checkpoint of cycle 6 ran on with --cycles 6: $(cat out.txt)"
cd ..

# --- damaged checkpoints: refused before anything is touched
enter damaged
printf 'kept\n' >dt.dat
size=$(stat -c %s ../first/checkpoint.kes)
for cut in 0 100 $((size - 1)); do
    head -c "$cut" ../first/checkpoint.kes >cut.kes
    refused "cut at $cut" "$kesmir" --headless --resume cut.kes
done
cp ../first/checkpoint.kes flipped.kes
printf '\x55' | dd of=flipped.kes bs=1 seek=$((size / 3)) conv=notrunc status=none
refused "flipped byte" "$kesmir" --headless --resume flipped.kes
grep -q "damaged" err.txt || fail "flipped byte: $(cat err.txt)"
refused "foreign file" "$kesmir" --headless --resume ../expected-log.txt
[ "$(cat dt.dat)" = "kept" ] || fail "a refused checkpoint touched dt.dat"
cd ..

finish "resume end-to-end"
