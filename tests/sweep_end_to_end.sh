#!/usr/bin/env bash
# Sweeps with the real binary and GNU parallel: an experiment refused before
# anything runs; 2 values x 2 seeds whose results.csv rows are the runs' own
# "dt.dat" lines and "traits.csv" means; a sweep stopped part-way that the same command finishes
# without touching finished runs, its checkpointed run equal to one never
# stopped; a failed run reported while the others go on.
set -u
source "$(dirname "$0")/end_to_end_helpers.sh"
start_in_scratch "$1"

if ! command -v parallel >/dev/null; then
    echo "GNU parallel is not installed (scripts/install-deps.sh installs it)"
    exit 1
fi

# --- errors name the file and line, before anything runs
printf 'cycles = 3\nHRenergy = 60, abc\n' >bad.txt
refused "a bad experiment" "$kesmir" sweep bad.txt --out bad
grep -qx "kesmir: sweep: bad.txt line 2: HRenergy: 'abc' is not a finite decimal number" err.txt ||
    fail "a bad experiment: $(cat err.txt)"
[ ! -e bad ] || fail "a bad experiment laid out its folder"

# --- 2 values x 2 seeds
printf '# richer herbivores?\nHRenergy = 60, 80\nseed = 1..2\ncycles = 4\n' >grid.txt
run 0 "grid sweep" "$kesmir" sweep grid.txt --out grid --jobs 2
grep -q "^kesmir: sweep: 4 runs: about .* core-hours" err.txt || fail "no plan: $(cat err.txt)"
grep -q "4 finished, 0 running, 0 failed, 0 waiting; done" err.txt || fail "no progress: $(cat err.txt)"
run 0 "status" "$kesmir" sweep status grid
grep -q "^4 runs: 4 finished, 0 running, 0 failed, 0 waiting" out.txt || fail "status: $(cat out.txt)"
run 0 "collect" "$kesmir" sweep collect grid
header=$(head -1 grid/results.csv)
case $header in
run,seed,HRenergy,cycle,plants,herbivores,carnivores,plant_metabolism,*,carnivore_speed) ;;
*) fail "results.csv header: $header" ;;
esac
# Each trait column holds the mean traits.csv gives for the run's cycle.
column=$(echo "$header" | tr , '\n' | grep -nx herbivore_resistance | cut -d: -f1)
mean=$(awk -F, '$1 == 2 && $2 == "herbivore" && $3 == "resistance" { print $5 }' grid/run-003/traits.csv)
[ -n "$mean" ] && [ "$(awk -F, -v c="$column" '$1 == 3 && $4 == 2 { print $c }' grid/results.csv)" = "$mean" ] ||
    fail "run 3, cycle 2: herbivore_resistance is not traits.csv's mean $mean"
for run in 1 2 3 4; do
    folder=grid/run-00$run
    awk -F, -v run=$run '$1 == run { print $4, $5, $6, $7 }' grid/results.csv >rows.txt
    awk '{ print $1, $2, $3, $4 }' $folder/dt.dat | cmp -s - rows.txt ||
        fail "run $run: results.csv rows differ from its dt.dat"
    [ "$(wc -l <rows.txt)" -eq 4 ] || fail "run $run: $(wc -l <rows.txt) rows"
done
grep -qx "HRenergy = 80" grid/run-004/params.txt || fail "run 4's parameters: $(cat grid/run-004/params.txt)"
[ -s grid/summary.png ] || fail "no summary.png"
[ "$(cut -d, -f1-3 grid/summary.csv | sed -n 2p)" = "60,0,2" ] || fail "summary.csv: $(head -2 grid/summary.csv)"

# --- a failed run is reported with its folder and stderr; the others are not redone
touch -d '2001-01-01' grid/run-00[134]/dt.dat
rm grid/run-002/state.txt
printf 'not a checkpoint' >grid/run-002/checkpoint.kes
run 1 "a failed run" "$kesmir" sweep grid.txt --out grid
grep -q "^kesmir: sweep: $scratch/grid/run-002 failed (.*); the end of its stderr.txt:" err.txt ||
    fail "failure report: $(cat err.txt)"
grep -q "cannot be resumed from" err.txt || fail "failure report lacks the stderr: $(cat err.txt)"
run 0 "a finished run started by hand" "$kesmir" sweep run grid 3
[ -z "$(find grid/run-00[134]/dt.dat -newer grid.txt)" ] || fail "finished runs were run again"
run 0 "status after a failure" "$kesmir" sweep status grid
grep -q "3 finished, 0 running, 1 failed" out.txt || fail "status after a failure: $(cat out.txt)"

# --- stopped part-way, then the same command again (through a hosts file naming this machine)
printf 'seed = 3, 4\ncycles = 12\ncheckpoint-every = 4\nHRenergy = 80\n' >long.txt
"$kesmir" sweep long.txt --out long --jobs 1 >out.txt 2>err.txt &
sweep=$!
for _ in $(seq 3000); do
    [ -f long/run-002/checkpoint.kes ] && [ "$(wc -l <long/run-002/dt.dat)" -ge 6 ] && break
    sleep 0.1
done
"$kesmir" sweep status long >status.txt
grep -q "^run-002: running, at cycle" status.txt || fail "a running run: $(cat status.txt)"
kill -INT $sweep
wait $sweep
[ $? -eq 130 ] || fail "a stopped sweep: exit code not 130"
grep -q "stopped with 1 of 2 runs finished" err.txt || fail "stopped: $(cat err.txt)"
run 0 "status when stopped" "$kesmir" sweep status long
grep -q "1 finished, 0 running, 0 failed, 1 waiting" out.txt || fail "status when stopped: $(cat out.txt)"
sums=$(md5sum long/run-001/*)
echo : >hosts.txt
run 0 "resumed sweep" "$kesmir" sweep long.txt --out long --hosts hosts.txt
[ "$(md5sum long/run-001/*)" = "$sums" ] || fail "the finished run's files changed"
grep -q "resumed from its checkpoint of cycle [48]" long/run-002/stderr.txt ||
    fail "run 2 was not resumed: $(cat long/run-002/stderr.txt)"
mkdir straight && (cd straight && "$kesmir" --headless --delay 0 --cycles 12 --seed 4 --set HRenergy=80 >/dev/null 2>&1)
cmp -s straight/dt.dat long/run-002/dt.dat || fail "the resumed run differs from one never stopped"
[ ! -e long/run-002/dt.dat.earlier ] || fail "the earlier lines were left beside dt.dat"

finish "sweep end-to-end"
