#!/usr/bin/env bash
# A sweep of 2 values x 2 seeds as a Slurm job array on a cluster of this one
# machine, started here (munged, slurmctld and slurmd, each with its files in
# a scratch folder and ports of its own) and stopped afterwards by the
# process ids this test started: its results.csv rows are the runs' own
# "dt.dat" lines, and equal to the same sweep run through GNU parallel.
# Skipped (exit code 77) without root or without Slurm and munge.
set -u
source "$(dirname "$0")/end_to_end_helpers.sh"
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: starting a Slurm cluster needs root"
    exit 77
fi
for program in munged slurmctld slurmd sbatch; do
    if ! command -v $program >/dev/null; then
        echo "skipped: $program is not installed (Debian packages slurm-wlm and munge)"
        exit 77
    fi
done
start_in_scratch "$1"
chmod 755 "$scratch"  # the daemons run as root, the runs read the folder
daemons=()
stop_cluster() {
    for pid in "${daemons[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${daemons[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
    done
    rm -rf "$scratch"
}
trap stop_cluster EXIT

# --- the cluster
mkdir -p "$scratch/munge" "$scratch/state" "$scratch/spool"
munged -F --force --socket="$scratch/munge/munge.socket.2" --pid-file="$scratch/munge/munged.pid" \
    --log-file="$scratch/munge/munged.log" --seed-file="$scratch/munge/munged.seed" \
    >"$scratch/munged.out" 2>&1 &
daemons+=($!)
host=$(hostname)
port=$((20000 + RANDOM % 20000))
export SLURM_CONF="$scratch/slurm.conf"
cat >"$SLURM_CONF" <<CONF
ClusterName=kesmirtest
SlurmctldHost=$host
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$port
SlurmdPort=$((port + 1))
AuthType=auth/munge
AuthInfo=socket=$scratch/munge/munge.socket.2
CredType=cred/munge
StateSaveLocation=$scratch/state
SlurmdSpoolDir=$scratch/spool
SlurmctldPidFile=$scratch/slurmctld.pid
SlurmdPidFile=$scratch/slurmd.pid
SlurmctldLogFile=$scratch/slurmctld.log
SlurmdLogFile=$scratch/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core_Memory
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
ReturnToService=2
NodeName=$host CPUs=$(nproc) RealMemory=$(free -m | awk '/^Mem:/ { print int($2 * 0.9) }') State=UNKNOWN
PartitionName=sweep Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
for _ in $(seq 50); do [ -S "$scratch/munge/munge.socket.2" ] && break; sleep 0.1; done
slurmctld -D -f "$SLURM_CONF" >"$scratch/slurmctld.out" 2>&1 &
daemons+=($!)
slurmd -D -f "$SLURM_CONF" >"$scratch/slurmd.out" 2>&1 &
daemons+=($!)
for _ in $(seq 100); do sinfo -h -o %T 2>/dev/null | grep -q idle && break; sleep 0.2; done
if ! sinfo -h -o %T 2>/dev/null | grep -q idle; then
    echo "FAIL: the cluster did not start"
    tail -5 "$scratch"/*.out "$scratch"/*.log
    exit 1
fi

# --- the sweep as a job array
printf 'HRenergy = 60, 80\nseed = 1..2\ncycles = 4\n' >grid.txt
run 0 "submit" "$kesmir" sweep grid.txt --out slurm --slurm --jobs 2
grep -q "submitted job array [0-9]*: runs 1-4, at most 2 at once" err.txt || fail "submit: $(cat err.txt)"
grep -q "^#SBATCH --cpus-per-task=1$" slurm/sweep.sbatch || fail "script: $(cat slurm/sweep.sbatch)"
for _ in $(seq 600); do
    "$kesmir" sweep status slurm | grep -q "^4 runs: 4 finished" && break
    sleep 0.5
done
"$kesmir" sweep status slurm | grep -q "^4 runs: 4 finished" || fail "status: $("$kesmir" sweep status slurm)"
[ -e slurm/slurm/task-4.out ] || fail "no output file per task"
run 0 "collect" "$kesmir" sweep collect slurm
for run in 1 2 3 4; do
    awk -F, -v run=$run '$1 == run { print $4, $5, $6, $7 }' slurm/results.csv >rows.txt
    awk '{ print $1, $2, $3, $4 }' slurm/run-00$run/dt.dat | cmp -s - rows.txt ||
        fail "run $run: results.csv rows differ from its dt.dat"
done
run 0 "the same sweep through GNU parallel" "$kesmir" sweep grid.txt --out parallel
run 0 "collect the same sweep" "$kesmir" sweep collect parallel
cmp -s slurm/results.csv parallel/results.csv || fail "Slurm and GNU parallel give other results"

finish "Slurm sweep"
