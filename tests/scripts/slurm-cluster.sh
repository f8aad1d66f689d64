#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The ephemerides of the sample's 40 stars as a Slurm job array on a one-node cluster that this
# test starts on localhost in a temporary folder (MUNGE, slurmctld, slurmd; no cgroups), with
# the job scripts of deploy/slurm:
#   1. 4 shards and the dependent marking job write exactly the files and marks of one local
#      nivra-data run;
#   2. a task cancelled while it writes (scancel) leaves no partial file under a final name,
#      the marks leave its stars out, and the job's own rerun command for that task completes
#      the job;
#   3. a job of one orbit class over other years than the default, in folders whose names hold
#      a comma and a space: its files are those of one local run, and so are the files of its
#      tasks rerun by the command submit.sh printed;
#   4. a task whose nivra-data exits 3 (stars that cannot be computed) completes, one whose
#      nivra-data exits 4 (a file could not be written) fails and the marking job never runs.
# Every daemon it started is stopped by its PID, also on failure; a cluster that cannot start
# fails the test with its daemons' log lines.
#   slurm-cluster.sh NIVRA_DATA NIVRA REPOSITORY
set -euo pipefail
nivra_data=$(realpath "$1")
nivra=$(realpath "$2")
repository=$(realpath "$3")

if ! command -v slurmctld >/dev/null || ! command -v munged >/dev/null; then
    "$repository/scripts/install-deps.sh" --slurm
fi

work=$(mktemp -d /tmp/nivra-slurm-XXXXXX)
chmod 755 "$work"
pids=()
status=1
finish() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    done
    if [ "$status" -ne 0 ]; then
        for log in munged.log slurmctld.log slurmd.log submit.err; do
            [ -f "$work/$log" ] && { echo "--- $log"; tail -n 40 "$work/$log"; }
        done
        for out in "$work"/*.out; do
            [ -f "$out" ] && { echo "--- $(basename "$out")"; tail -n 20 "$out"; }
        done
    fi
    rm -rf "$work"
}
trap finish EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# --- The cluster.
user=$(id -un)
host=$(hostname -s)
# Two free ports next to each other for slurmctld and slurmd.
port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
for _ in $(seq 20); do
    port=$((20000 + RANDOM % 20000))
    port_free "$port" && port_free $((port + 1)) && break
done
mkdir -p "$work/state" "$work/spool"
mungekey --create --keyfile="$work/munge.key" --force 2>/dev/null ||
    dd if=/dev/urandom of="$work/munge.key" bs=1024 count=1 status=none
chmod 600 "$work/munge.key"
munged --foreground --force --key-file="$work/munge.key" --socket="$work/munge.socket" \
    --pid-file="$work/munged.pid" --log-file="$work/munged.log" --seed-file="$work/munged.seed" \
    >>"$work/munged.log" 2>&1 &
pids+=($!)
cat >"$work/slurm.conf" <<CONF
ClusterName=nivra-test
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=$user
SlurmdUser=$user
AuthType=auth/munge
AuthInfo=socket=$work/munge.socket
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
ReturnToService=2
MinJobAge=600
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
NodeName=$host NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN
PartitionName=test Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF=$work/slurm.conf
for _ in $(seq 50); do [ -S "$work/munge.socket" ] && break; sleep 0.1; done
[ -S "$work/munge.socket" ] || fail "munged did not start"
slurmctld -D -i -f "$SLURM_CONF" >>"$work/slurmctld.log" 2>&1 &
pids+=($!)
slurmd -D -f "$SLURM_CONF" -N "$host" >>"$work/slurmd.log" 2>&1 &
pids+=($!)
state=""
for _ in $(seq 300); do
    state=$(sinfo -h -N -o %T 2>/dev/null | head -1 || true)
    [ "$state" = idle ] && break
    sleep 0.2
done
[ "$state" = idle ] || fail "the node did not come up (state: ${state:-none})"
echo "cluster up on $host:$port"

# The state of job JOB (an array task is ARRAY_TASK), as slurmctld holds it.
job_state() { scontrol show job -o "$1" 2>/dev/null | grep -o 'JobState=[A-Z_]*' | head -1 | cut -d= -f2; }
# Waits until none of the jobs is pending or running (at most 300 s).
wait_for() {
    for _ in $(seq 1500); do
        [ -z "$(squeue -h -j "$1" -o %i 2>/dev/null)" ] && return 0
        sleep 0.2
    done
    fail "jobs $1 still queued after 300 s: $(squeue -h -j "$1")"
}

# --- The sample's catalogue without marks, and one local run to compare with.
"$nivra_data" sample "$work/sample" >/dev/null
stars=$(ls "$work/sample/Datas" | sed 's/\.Nvr$//' | tr '\n' ' ')
fresh() {  # a program folder holding the sample's catalogue with every mark taken back
    mkdir -p "$1/Datas"
    cp "$work/sample/Nivra.db" "$1/Nivra.db"
    "$nivra_data" mark --catalogue "$1/Nivra.db" --datas "$1/Datas" >/dev/null ||
        fail "the marks of the sample's catalogue were not taken back"
}
cd "$work"

# --- 1. Four shards and the marking job.
fresh "$work/local"
"$nivra_data" ephemeris --catalogue "$work/local/Nivra.db" --out "$work/local/Datas" \
    --spk $stars >/dev/null
fresh "$work/cluster"
read -r array mark < <("$repository/deploy/slurm/submit.sh" --catalogue "$work/cluster/Nivra.db" \
    --datas "$work/cluster/Datas" --shards 4 --nivra-data "$nivra_data" -- --spk $stars \
    2>>"$work/submit.err")
wait_for "$array,$mark"
for task in 0 1 2 3; do
    [ "$(job_state "${array}_$task")" = COMPLETED ] || fail "task $task: $(job_state "${array}_$task")"
done
[ "$(job_state "$mark")" = COMPLETED ] || fail "marking job: $(job_state "$mark")"
diff -r "$work/local/Datas" "$work/cluster/Datas" || fail "the shards' files differ from one run's"
"$nivra" stars --folder "$work/local" >"$work/local.stars"
"$nivra" stars --folder "$work/cluster" >"$work/cluster.stars"
[ "$(wc -l <"$work/local.stars")" -eq 40 ] || fail "the local run did not mark 40 stars"
cmp -s "$work/local.stars" "$work/cluster.stars" || fail "the marks differ from one run's"
echo "4 shards: the files and marks of one run"

# --- 2. A task cancelled while it writes, then rerun alone. The tasks run one at a time over
# 201 years, so task 2 is cancelled as soon as its first file appears.
long=(--from 1900 --to 2100 --spk $stars)
fresh "$work/killed"
read -r array mark < <("$repository/deploy/slurm/submit.sh" --catalogue "$work/killed/Nivra.db" \
    --datas "$work/killed/Datas" --shards 4 --max-running 1 --nivra-data "$nivra_data" \
    -- "${long[@]}" 2>>"$work/submit.err")
files() { ls "$work/killed/Datas" 2>/dev/null | grep -c '\.Nvr$' || true; }
for _ in $(seq 1500); do
    [ "$(job_state "${array}_2")" = RUNNING ] && break
    sleep 0.1
done
[ "$(job_state "${array}_2")" = RUNNING ] || fail "task 2 never ran: $(job_state "${array}_2")"
before=$(files)
for _ in $(seq 600); do
    [ "$(files)" -gt "$before" ] && break
    sleep 0.05
done
scancel "${array}_2"
wait_for "$array,$mark"
[ "$(job_state "${array}_2")" = CANCELLED ] || fail "task 2 ended as $(job_state "${array}_2")"
written=$(files)
[ "$written" -gt "$before" ] && [ "$written" -lt 40 ] ||
    fail "task 2 was not stopped while it wrote ($before files before it, $written after)"
# The marking job depended on every task: it never ran.
[ "$(job_state "$mark")" != COMPLETED ] || fail "the marking job ran after a failed task"
report=$("$nivra_data" mark --catalogue "$work/killed/Nivra.db" --datas "$work/killed/Datas") ||
    fail "marking after the cancel found damaged files: $report"
"$nivra" stars --folder "$work/killed" >"$work/killed.stars"
[ "$(wc -l <"$work/killed.stars")" -eq "$written" ] ||
    fail "$(wc -l <"$work/killed.stars") stars marked for $written complete files"
echo "task 2 cancelled with $written of 40 files written: every file complete, $written marked"

read -r rerun remark < <("$work/nivra-ephemeris-$array.rerun" 2 2>>"$work/submit.err") ||
    fail "the rerun was not submitted"
wait_for "$rerun,$remark"
[ "$(job_state "$remark")" = COMPLETED ] || fail "the marking job after the rerun: $(job_state "$remark")"
[ "$(files)" -eq 40 ] || fail "after the rerun $(files) of 40 files"
"$nivra" stars --folder "$work/killed" >"$work/killed.stars"
[ "$(wc -l <"$work/killed.stars")" -eq 40 ] || fail "after the rerun $(wc -l <"$work/killed.stars") stars marked"
"$nivra_data" ephemeris --catalogue "$work/local/Nivra.db" --out "$work/local-long" \
    "${long[@]}" >/dev/null
rm -f "$work/killed/Datas/"*.part-*
diff -r "$work/local-long" "$work/killed/Datas" || fail "the rerun's files differ from one run's"
echo "task 2 rerun alone: the files and marks of one run"

# --- 3. One orbit class (the six Mars-crossers, class 4) over 1990-2029, 4 shards of 2 cores,
# submitted from, reading and writing folders whose names hold a comma and a space.
class=(--class 4 --from 1990 --to 2029)
fresh "$work/local-class"
"$nivra_data" ephemeris --catalogue "$work/local-class/Nivra.db" --out "$work/local-class/Datas" \
    "${class[@]}" >/dev/null
sky="$work/sky, class 4"
fresh "$sky"
mkdir -p "$work/jobs, here"
cd "$work/jobs, here"
read -r array mark < <("$repository/deploy/slurm/submit.sh" --catalogue "$sky/Nivra.db" \
    --datas "$sky/Datas" --shards 4 --cpus 2 --nivra-data "$nivra_data" -- "${class[@]}" \
    2>"$work/class.err")
wait_for "$array,$mark"
[ "$(job_state "$mark")" = COMPLETED ] || fail "class 4: the marking job: $(job_state "$mark")"
diff -r "$work/local-class/Datas" "$sky/Datas" || fail "class 4: the shards' files differ from one run's"
# The printed rerun command: task 2 alone into an emptied folder writes only that shard's files,
# each the local run's; then tasks 0, 1 and 3 complete the job, marks and all.
printed=$(grep -A1 '^submit.sh: to rerun tasks' "$work/class.err" | tail -1)
[ -n "$printed" ] || fail "no rerun command printed: $(cat "$work/class.err")"
rm -f "$sky/Datas/"*.Nvr
for tasks in 2 0,1,3; do
    read -r rerun remark < <(cd "$work" &&
        eval "${printed/TASK\[,TASK...\]/$tasks}" 2>>"$work/submit.err") ||
        fail "the printed rerun command failed: $printed"
    wait_for "$rerun,$remark"
    [ "$(job_state "$remark")" = COMPLETED ] || fail "class 4: the marking job after rerunning $tasks"
    [ -n "$(ls "$sky/Datas")" ] || fail "class 4: rerunning task $tasks wrote nothing"
    for file in "$sky/Datas/"*; do
        cmp -s "$file" "$work/local-class/Datas/$(basename "$file")" ||
            fail "class 4: $(basename "$file") after rerunning $tasks is not the local run's"
    done
    shard2=${shard2:-$(ls "$sky/Datas" | wc -l)}
done
[ "$shard2" -lt 6 ] || fail "class 4: the rerun of task 2 wrote every file"
diff -r "$work/local-class/Datas" "$sky/Datas" || fail "class 4: the reruns' files differ from one run's"
"$nivra" stars --folder "$work/local-class" >"$work/local-class.stars"
"$nivra" stars --folder "$sky" >"$work/class.stars"
[ "$(wc -l <"$work/local-class.stars")" -eq 6 ] || fail "the local run did not mark 6 stars"
cmp -s "$work/local-class.stars" "$work/class.stars" || fail "class 4: the marks differ from one run's"
[ -f "$work/jobs, here/nivra-ephemeris-${rerun}_3.out" ] || fail "the rerun's output is not beside the job's"
cd "$work"
echo "class 4, 1990-2029: the files and marks of one run, also from the printed rerun of tasks"

# --- 4. Exit codes: a nivra-data that exits 3 in task 0 and 4 in task 1 (then 3 in its rerun),
# and runs the real one for the marks.
mkdir -p "$work/stand-in"
cat >"$work/stand-in/nivra-data" <<STANDIN
#!/bin/bash
shard=\$(printf '%s\\n' "\$@" | grep -A1 -x -- --shard | tail -1)
[ "\$1" != ephemeris ] || exit "\$(cat "$work/stand-in/code-\${shard%/*}")"
exec "$nivra_data" "\$@"
STANDIN
chmod +x "$work/stand-in/nivra-data"
echo 3 >"$work/stand-in/code-0"
echo 4 >"$work/stand-in/code-1"
fresh "$work/codes"
read -r array mark < <("$repository/deploy/slurm/submit.sh" --catalogue "$work/codes/Nivra.db" \
    --datas "$work/codes/Datas" --shards 2 --nivra-data "$work/stand-in/nivra-data" \
    2>>"$work/submit.err")
wait_for "$array,$mark"
[ "$(job_state "${array}_0")" = COMPLETED ] || fail "exit 3: task 0 $(job_state "${array}_0")"
[ "$(job_state "${array}_1")" = FAILED ] || fail "exit 4: task 1 $(job_state "${array}_1")"
scontrol show job -o "${array}_1" | grep -q 'ExitCode=4:0' || fail "task 1 did not exit 4"
grep -q 'FAILED (exit 4)' "$work/nivra-ephemeris-${array}_1.out" || fail "task 1's output names no failure"
[ "$(job_state "$mark")" != COMPLETED ] || fail "the marking job ran after a task that exited 4"
echo 3 >"$work/stand-in/code-1"
read -r rerun remark < <("$work/nivra-ephemeris-$array.rerun" 1 2>>"$work/submit.err")
wait_for "$rerun,$remark"
[ "$(job_state "${rerun}_1")" = COMPLETED ] && [ "$(job_state "$remark")" = COMPLETED ] ||
    fail "after exit 3 in the rerun: task $(job_state "${rerun}_1"), marks $(job_state "$remark")"
echo "exit 3 completes a task, exit 4 fails it and the marking job never runs"
status=0
