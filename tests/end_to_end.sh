#!/usr/bin/env bash
# Runs the real binary as a user would, in a scratch directory: the command
# line, the files a short run leaves, repeatability, and bad files.
set -u
source "$(dirname "$0")/end_to_end_helpers.sh"
start_in_scratch "$1"

# The files in the current directory besides the ones this script writes.
files_left() { ls -A | grep -vxE 'out.txt|err.txt' | tr '\n' ' '; }

# Bad options: exit code 2, one line on stderr, nothing on stdout.
for args in "--frobnicate" "--cycles" "--cycles -1" "--cycles abc" "--seed 4294967296" \
            "--seed -3" "--delay 1.5" "--delay" "--headless=yes" "--help=x" "--version=2" "extra"; do
    # shellcheck disable=SC2086
    refused "kesmir $args" "$kesmir" $args
done

run 0 "--version" "$kesmir" --version
[ "$(cat out.txt)" = "Version 1.07.7" ] || fail "--version printed '$(cat out.txt)'"
run 0 "--help" "$kesmir" --help
grep -q -- "--cycles N" out.txt || fail "--help does not describe --cycles"

# A short headless run.
enter run1
run 0 "--headless --cycles 2" "$kesmir" --headless --cycles 2 --delay 0
[ "$(wc -l <dt.dat)" -eq 2 ] || fail "dt.dat has $(wc -l <dt.dat) lines after 2 cycles"
[ "$(head -n 1 dt.dat)" = "0 500000 230000 50000    0 0 0" ] || fail "first dt.dat line: $(head -n 1 dt.dat)"
first_status=$(head -n 1 out.txt)
case "$first_status" in
    "   0   500000  230000  50000       0.00    0.00    0.00    0.00  "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]) ;;
    *) fail "first status line: '$first_status'" ;;
esac
[ "$(wc -l <out.txt)" -eq 2 ] || fail "wanted 2 status lines, got $(wc -l <out.txt)"
# Only the logs: the gene sample is first written at cycle 1000, nut.dat on the N key.
[ "$(files_left)" = "dt.dat traits.csv " ] || fail "a 2-cycle run left: $(files_left)"
# The trait counts of both cycles, 40 rows each, the plants of cycle 0 all counted.
[ "$(head -n 1 traits.csv)" = "cycle,kind,trait,count,mean,sd,min,p10,median,p90,max" ] ||
    fail "traits.csv header: $(head -n 1 traits.csv)"
[ "$(wc -l <traits.csv)" -eq 81 ] || fail "traits.csv has $(wc -l <traits.csv) lines after 2 cycles"
[ "$(sed -n 2p traits.csv | cut -d, -f1-4)" = "0,plant,metabolism,500000" ] ||
    fail "first traits.csv row: $(sed -n 2p traits.csv)"
cut -c1-62 out.txt >status.txt
cd ..

# The same seed repeats the run exactly; another seed does not. The old log
# is emptied first.
enter run2
printf '0 1 2 3    4 5 6\n' >dt.dat
run 0 "second run" "$kesmir" --headless --cycles 2 --delay 0
cmp -s dt.dat ../run1/dt.dat || fail "two runs with the same seed wrote different dt.dat"
cut -c1-62 out.txt | cmp -s - ../run1/status.txt || fail "two runs with the same seed printed different status lines"
cd ..
enter run3
run 0 "seed 7" "$kesmir" --headless --cycles 2 --delay 0 --seed 7
cmp -s dt.dat ../run1/dt.dat && fail "seed 7 gave the same dt.dat as seed 1"
cd ..

# Files that cannot be used: the run goes on and says so on stderr.
enter run4
mkdir dt.dat
printf '1 2 3\n' >sample9GM.dat
printf '250.0 oops' >nut.dat
run 0 "unwritable log, bad files" "$kesmir" --headless --cycles 1 --delay 0
grep -q "dt.dat" err.txt || fail "no message about dt.dat: $(cat err.txt)"
grep -q "sample9GM.dat" err.txt || fail "no message about the short sample9GM.dat"
grep -q "nut.dat" err.txt || fail "no message about the malformed nut.dat"
[ "$(cat sample9GM.dat)" = "1 2 3" ] || fail "the bad sample9GM.dat was changed"
[ "$(cat nut.dat)" = "250.0 oops" ] || fail "the bad nut.dat was changed"
[ "$(head -n 1 out.txt | cut -c1-28)" = "   0   500000  230000  50000" ] || fail "bad files changed the seeded counts"
cd ..

# --cycles 0 seeds and stops without a cycle.
enter run5
printf 'an older log\n' >dt.dat
run 0 "--cycles 0" "$kesmir" --headless --cycles 0
[ -f dt.dat ] && [ ! -s dt.dat ] || fail "--cycles 0 did not leave an empty dt.dat"
[ "$(files_left)" = "dt.dat traits.csv " ] || fail "--cycles 0 left: $(files_left)"
[ "$(wc -l <traits.csv)" -eq 1 ] || fail "--cycles 0 left more than a header in traits.csv"
cd ..

finish end-to-end
