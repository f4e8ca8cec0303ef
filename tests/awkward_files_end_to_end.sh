#!/usr/bin/env bash
# The real binary against what a user may leave in the working directory or
# do to the process: a FIFO, a device and a huge sparse file under the names
# it reads, huge sparse files given as a checkpoint or parameter file,
# temporary files of a killed run, SIGINT and SIGTERM, and a window system
# platform that cannot start. Each run has a time limit and, unless the
# binary carries a sanitizer's shadow memory, a memory limit.
set -u
source "$(dirname "$0")/end_to_end_helpers.sh"
start_in_scratch "$1"

# A normal run reserves some 5 GB of address space; a runaway read of
# /dev/zero passes 7 GB within seconds.
memory_limit=7000000
grep -qa -e __asan_init -e __tsan_init "$kesmir" && memory_limit=unlimited

limited() { (ulimit -v "$memory_limit" && timeout 60 "$@"); }

run_in() {  # directory expected-code arguments...
    local directory=$1 want=$2
    shift 2
    enter "$directory"
    run "$want" "$directory" limited "$kesmir" "$@"
}

expect_said() {  # directory lines pattern...
    local directory=$1 lines=$2
    shift 2
    [ "$(wc -l <err.txt)" -eq "$lines" ] || fail "$directory: wanted $lines line(s) on stderr: $(cat err.txt)"
    for pattern in "$@"; do
        grep -q -- "$pattern" err.txt || fail "$directory: nothing like '$pattern' on stderr: $(cat err.txt)"
    done
}

# A link to /dev/zero and a FIFO: one line each, and the run starts as
# without them.
mkdir devices && ln -s /dev/zero devices/nut.dat && mkfifo devices/sample9GM.dat
run_in devices 0 --headless --cycles 2 --delay 0
expect_said devices 2 "^kesmir: 'nut.dat' is a character device, not a data file; starting with a fresh" \
    "^kesmir: 'sample9GM.dat' is a named pipe (FIFO), not a data file; starting with a generated"
[ "$(head -n 1 dt.dat)" = "0 500000 230000 50000    0 0 0" ] || fail "devices: dt.dat: $(head -n 1 dt.dat)"
cd ..

# A sparse "nut.dat" of 2 GB is refused from its size.
mkdir sparse && truncate -s 2G sparse/nut.dat
run_in sparse 0 --headless --cycles 0
expect_said sparse 1 "^kesmir: 'nut.dat' is 2147483648 bytes, larger than any valid file of its kind"
cd ..

# Sparse files given as a checkpoint (1 TB: a checkpoint may hold the
# histories of a very long run) or a parameter file (10 GB) are refused from
# their size: one line and exit code 2, nothing read.
mkdir sparse-inputs && truncate -s 1T sparse-inputs/checkpoint.kes &&
    truncate -s 10G sparse-inputs/params.txt
run_in sparse-inputs 2 --headless --resume checkpoint.kes
expect_said sparse-inputs 1 "^kesmir: 'checkpoint.kes' is 1099511627776 bytes, larger than any valid file of its kind"
cd ..
run_in sparse-inputs 2 --headless --params params.txt
expect_said sparse-inputs 1 "^kesmir: --params: 'params.txt' is 10737418240 bytes, larger than any valid file of its kind"
cd ..

# Temporary files of a run that ended during a write go at the next start;
# those of a live process and every other file stay.
enter stale
true & dead=$!
wait "$dead"
touch "nut.dat.kesmir-tmp-$dead-0" "nut.dat.kesmir-tmp-$$-0" "nut.dat.tmp$dead-0" "keep.kesmir-tmp-x"
cd ..
run_in stale 0 --headless --cycles 0
expect_said stale 1 "^kesmir: removed 1 temporary file left by a run that ended during a write: \"nut.dat.kesmir-tmp-$dead-0\"$"
[ "$(ls | sort | tr '\n' ' ')" = "dt.dat err.txt keep.kesmir-tmp-x nut.dat.kesmir-tmp-$$-0 nut.dat.tmp$dead-0 out.txt traits.csv " ] ||
    fail "stale: left $(ls | tr '\n' ' ')"
cd ..

# SIGINT and SIGTERM end a run as they always did.
for signal in INT:130 TERM:143; do
    enter "signal-${signal%:*}"
    env --default-signal="${signal%:*}" "$kesmir" --headless --delay 100 >out.txt 2>err.txt &
    pid=$!
    for _ in $(seq 1 300); do [ -s out.txt ] && break; sleep 0.1; done
    kill -"${signal%:*}" "$pid"
    wait "$pid"
    code=$?
    [ "$code" -eq "${signal#*:}" ] || fail "SIG${signal%:*}: exit code $code, wanted ${signal#*:}"
    cd ..
done

# A window system platform that cannot start: one line and a headless run.
if ldd "$kesmir" | grep -q libQt6Widgets; then
    QT_QPA_PLATFORM=no-such-platform run_in platform 0 --cycles 1 --delay 0
    expect_said platform 1 "^kesmir: the window system platform \"no-such-platform\" cannot start .*; running headless$"
    [ "$(wc -l <dt.dat)" -eq 1 ] || fail "platform: dt.dat has $(wc -l <dt.dat) lines"
    cd ..
fi

finish awkward-file
