#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# deploy/slurm/submit.sh and its job scripts, with a stand-in sbatch first on PATH that records
# every call and answers with a job id, and a stand-in nivra-data that records its arguments and
# exits with a chosen code. The test runs the recorded jobs itself, in an empty environment, as
# Slurm would. Checks:
#   1. every bad command line gives the usage and exit 2, and queues and makes nothing;
#   2. a job that cannot run (catalogue, folders, program, sbatch refusing) queues nothing, exit 1;
#   3. paths with commas, spaces and a newline reach nivra-data whole, and the recorded rerun
#      command submits one task exactly as the job did, with a marking job after it;
#   4. a marking job that cannot be submitted names the queued array and how to cancel or mark;
#   5. the job scripts' exit codes for each of nivra-data's.
#   slurm-submit.sh REPOSITORY
set -uo pipefail
deploy=$(realpath "$1")/deploy/slurm
work=$(mktemp -d /tmp/nivra-slurm-submit-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# The stand-ins. sbatch: call N is recorded in calls/sbatch-N (NUL-separated arguments); call
# number $work/refuse is refused; it answers 1000 + N.
mkdir -p "$work/bin" "$work/calls"
cat >"$work/bin/sbatch" <<'STANDIN'
#!/bin/bash
calls=$(dirname "$0")/../calls
n=$(( $(ls "$calls" | grep -c '^sbatch-') + 1 ))
printf '%s\0' "$@" >"$calls/sbatch-$n"
if [ "$(cat "$(dirname "$0")/../refuse" 2>/dev/null)" = "$n" ]; then
    echo "sbatch: error: Batch job submission failed (stand-in)" >&2
    exit 1
fi
echo "$((1000 + n))"
STANDIN
dir="$work/a, b c"$'\n'"d"
mkdir -p "$dir"
program="$dir/nivra data,1"
cat >"$program" <<'STANDIN'
#!/bin/bash
calls=$(dirname "$0")/../calls
printf '%s\0' "$@" >"$(mktemp "$calls/nivra-data-XXXXXX")"
exit "$(cat "$(dirname "$0")/exit-code" 2>/dev/null || echo 0)"
STANDIN
chmod +x "$work/bin/sbatch" "$program"
export PATH="$work/bin:$PATH"
catalogue="$dir/Nivra.db"
touch "$catalogue"
run="$work/run, here"
mkdir -p "$run"
submit() { (cd "$run" && "$deploy/submit.sh" "$@") >"$work/out" 2>"$work/err"; }
reset() { rm -f "$work/calls/"* "$work/refuse" "$run"/*; }
shopt -s nullglob
arguments() { tr '\0' '\n' <"$1"; }  # for messages
# The recorded arguments of one call, into the array "recorded".
recorded() { mapfile -d '' -t recorded <"$1"; }
# Arguments as one line, quoted.
line() { printf '%q ' "$@"; echo; }

# --- 1. Bad command lines: the usage, exit 2, nothing queued and no folder made.
refused() {  # refused MESSAGE ARGUMENTS...
    local message=$1
    shift
    reset
    submit "$@"
    local code=$?
    [ "$code" -eq 2 ] || fail "submit.sh $* exited $code, not 2: $(cat "$work/err")"
    grep -qF -- "$message" "$work/err" && grep -q '^usage: submit.sh' "$work/err" ||
        fail "submit.sh $*: no usage with \"$message\": $(cat "$work/err")"
    [ -z "$(ls -A "$work/calls")$(ls -A "$run")" ] || fail "submit.sh $* queued or wrote: $(ls "$work/calls" "$run")"
    [ ! -e "$work/new" ] || fail "submit.sh $* made its --datas folder"
}
base=(--catalogue "$catalogue" --datas "$work/new")
while IFS='|' read -r option value limit; do
    shards=(--shards 4)
    [ "$option" != --shards ] || shards=()
    refused "$option takes a whole number from 1 to $limit, not \"$value\"" \
        "${base[@]}" "${shards[@]}" "$option" "$value"
done <<'ROWS'
--shards|abc|1000000
--shards|0|1000000
--shards|-3|1000000
--shards|08|1000000
--shards|1.5|1000000
--shards| 4|1000000
--shards|1e3|1000000
--shards|99999999999999999999|1000000
--shards|1000001|1000000
--cpus|abc|1024
--cpus|0|1024
--cpus|1025|1024
--max-running|2,1000|1000000
--max-running|0|1000000
--max-running|3%1|1000000
ROWS
refused "--shards needs a value" "${base[@]}" --shards
refused "--catalogue needs a value" --catalogue --datas "$work/new" --shards 4
refused "--datas needs a value" --catalogue "$catalogue" --datas "" --shards 4
refused "--nivra-data needs a value" "${base[@]}" --shards 4 --nivra-data
refused "--max-running needs a value" "${base[@]}" --shards 4 --max-running -- --class 9
refused "--shards is given twice" "${base[@]}" --shards 4 --shards 8
refused "unknown option \"--shard\"" "${base[@]}" --shard 4
refused "unknown option \"stray\"" "${base[@]}" --shards 4 stray
refused "--shards is needed" "${base[@]}"
for reserved in --threads --shard --out --catalogue; do
    refused "$reserved is set by the job itself" "${base[@]}" --shards 4 -- --class 9 "$reserved" x
done
while IFS='|' read -r tasks message; do
    refused "$message" "${base[@]}" --shards 4 --tasks "$tasks"
done <<'ROWS'
4|there is no task 4 (tasks 0 to 3)
1-4|there is no task 4 (tasks 0 to 3)
3-1|the range 3-1 runs backwards
1,,2|--tasks takes task numbers
-1|--tasks takes task numbers
1-2-3|--tasks takes task numbers
5%1|--tasks takes task numbers
ROWS
submit --help && grep -q '^usage: submit.sh' "$work/out" || fail "--help gave no usage, exit 0"
echo "bad command lines: usage and exit 2, nothing queued"

# --- 2. A job that cannot run queues nothing and leaves nothing behind.
cannot() {  # cannot MESSAGE ARGUMENTS...
    local message=$1
    shift
    submit "$@"
    local code=$?
    [ "$code" -eq 1 ] && grep -qF -- "$message" "$work/err" ||
        fail "submit.sh $* exited $code without \"$message\": $(cat "$work/err")"
    [ "$(ls "$work/calls" | grep -c sbatch)" -le 1 ] || fail "submit.sh $* submitted a marking job"
    [ -z "$(ls "$run")" ] || fail "submit.sh $* left $(ls "$run")"
}
mkfifo "$work/pipe"
echo "the user's own" >"$work/users-file"
job=(--datas "$work/datas" --shards 4)
reset
cannot "does not exist" --catalogue "$work/none.db" "${job[@]}"
cannot "is not a file" --catalogue "$dir" "${job[@]}"
cannot "is not a file" --catalogue "$work/pipe" "${job[@]}"
cannot "is not a folder" --catalogue "$catalogue" --datas "$work/users-file" --shards 4
[ "$(cat "$work/users-file")" = "the user's own" ] || fail "the user's file under --datas changed"
cannot "no program" --catalogue "$catalogue" "${job[@]}" --nivra-data "$work/none/nivra-data"
[ -z "$(ls "$work/calls")" ] || fail "sbatch was called for a job that cannot run"
echo 1 >"$work/refuse"
cannot "nothing is queued" --catalogue "$catalogue" "${job[@]}"
# A current folder that is gone: the rerun command cannot be written, so nothing is queued.
reset
mkdir "$work/gone"
code=$(cd "$work/gone" && rmdir "$work/gone" &&
    { "$deploy/submit.sh" --catalogue "$catalogue" "${job[@]}" >/dev/null 2>&1; echo $?; })
[ "$code" -eq 1 ] && [ -z "$(ls "$work/calls")" ] || fail "a folder that is gone: exit $code"
echo "jobs that cannot run: exit 1, nothing queued"

# --- 3. Paths with commas, spaces and a newline; the rerun of one task.
# Runs recorded call N as Slurm would, in an empty environment, every task of an array; each
# task's exit code is appended to $work/codes.
run_call() {
    local call=$1 id=$((1000 + $1)) option cpus=1 array="" script="" tasks=() task
    recorded "$work/calls/sbatch-$call"
    set -- "${recorded[@]}"
    while [ $# -gt 0 ] && [ -z "$script" ]; do
        case "$1" in
            --array=*) array=${1#--array=} ;;
            --cpus-per-task=*) cpus=${1#--cpus-per-task=} ;;
            --*) ;;
            *) script=$1 ;;
        esac
        shift
    done
    if [ -n "$array" ]; then
        for part in $(tr , ' ' <<<"${array%\%*}"); do
            mapfile -t -O "${#tasks[@]}" tasks < <(seq "${part%-*}" "${part#*-}")
        done
    else
        tasks=(none)
    fi
    : >"$work/codes"
    for task in "${tasks[@]}"; do
        (cd "$run" && env -i PATH="$PATH" SLURM_ARRAY_TASK_ID="${task#none}" \
            SLURM_ARRAY_JOB_ID="$id" SLURM_CPUS_PER_TASK="$cpus" SLURM_SUBMIT_DIR="$run" \
            bash "$script" "$@" >/dev/null 2>>"$work/job.err")
        echo $? >>"$work/codes"
    done
}
# The arguments nivra-data received, one call a line, sorted.
received() {
    for call in "$work/calls"/nivra-data-*; do
        recorded "$call"
        line "${recorded[@]}"
    done | sort
    rm -f "$work/calls"/nivra-data-*
}
reset
datas="$dir/Da,tas"
ephemeris=(--class 9 --from 1990 --to 2029 --two-body)
submit --catalogue "$catalogue" --datas "$datas" --shards 3 --cpus 2 --max-running 2 \
    --nivra-data "$program" -- "${ephemeris[@]}" || fail "submit.sh: $(cat "$work/err")"
[ "$(cat "$work/out")" = "1001 1002" ] || fail "printed \"$(cat "$work/out")\", not the two ids"
[ -d "$datas" ] || fail "the Datas folder was not made"
recorded "$work/calls/sbatch-1"
printf '%s\n' "${recorded[@]}" | grep -qx -- '--array=0-2%2' || fail "array: $(arguments "$work/calls/sbatch-1")"
recorded "$work/calls/sbatch-2"
printf '%s\n' "${recorded[@]}" | grep -qx -- '--dependency=afterok:1001' ||
    fail "the marking job does not wait for the array: $(arguments "$work/calls/sbatch-2")"
run_call 1
[ "$(paste -sd ' ' "$work/codes")" = "0 0 0" ] || fail "tasks exited $(cat "$work/codes" "$work/job.err")"
expected=$(for task in 0 1 2; do
    line ephemeris --catalogue "$catalogue" --out "$datas" --threads 2 --shard "$task/3" \
        "${ephemeris[@]}"
done | sort)
[ "$(received)" = "$expected" ] || fail "the tasks ran nivra-data otherwise than asked"
run_call 2
[ "$(received)" = "$(line mark --catalogue "$catalogue" --datas "$datas" --threads 1)" ] ||
    fail "the marking job ran nivra-data otherwise than asked"
record="$run/nivra-ephemeris-1001.rerun"
[ -x "$record" ] || fail "no rerun command beside the output: $(ls "$run")"
grep -qF "$(printf %q "$record") TASK" "$work/err" || fail "the rerun command was not printed: $(cat "$work/err")"
# The rerun, from another folder: task 1 alone exactly as the job ran it, then a marking job.
(cd "$work" && "$record" 1 >"$work/out" 2>"$work/err") || fail "the rerun: $(cat "$work/err")"
[ "$(cat "$work/out")" = "1003 1004" ] || fail "the rerun printed \"$(cat "$work/out")\""
cmp -s <(arguments "$work/calls/sbatch-1" | sed 's/^--array=.*/--array=1%2/') \
    <(arguments "$work/calls/sbatch-3") || fail "the rerun differs from the job: $(arguments "$work/calls/sbatch-3")"
cmp -s <(arguments "$work/calls/sbatch-2" | sed 's/afterok:1001/afterok:1003/') \
    <(arguments "$work/calls/sbatch-4") || fail "the rerun's marking job differs from the job's"
run_call 3
[ "$(received)" = "$(grep -F -- ' 1/3 ' <<<"$expected")" ] || fail "the rerun task ran otherwise"
[ -x "$run/nivra-ephemeris-1003.rerun" ] || fail "the rerun's own record is not beside the job's output"
for bad in 3 "" "1 2"; do
    (cd "$run" && "$record" $bad >/dev/null 2>&1)
    [ $? -eq 2 ] || fail "the rerun of task \"$bad\" was not refused"
done
# A user's file under the record's name stays; the record is written under another name.
reset
echo "the user's own" >"$run/nivra-ephemeris-1001.rerun"
submit --catalogue "$catalogue" --datas "$datas" --shards 3 || fail "submit.sh: $(cat "$work/err")"
[ "$(cat "$run/nivra-ephemeris-1001.rerun")" = "the user's own" ] || fail "the user's file was replaced"
other=$(ls "$run" | grep -v '^nivra-ephemeris-1001.rerun$')
[ -n "$other" ] && [ -x "$run/$other" ] && grep -qF "$other" "$work/err" ||
    fail "the record was not kept under another name: $(ls "$run")"
echo "commas, spaces and newlines in paths; the rerun repeats one task of the same job"

# --- 4. The marking job refused: the array is named, with how to cancel it or mark by hand.
reset
echo 2 >"$work/refuse"
submit --catalogue "$catalogue" --datas "$datas" --shards 3 --nivra-data "$program"
code=$?
[ "$code" -eq 3 ] && [ "$(cat "$work/out")" = 1001 ] || fail "exit $code, printed $(cat "$work/out")"
grep -q "array job 1001 is queued" "$work/err" && grep -q "scancel 1001" "$work/err" ||
    fail "the array job was not named: $(cat "$work/err")"
by_hand=$(sed -n 's/.*mark by hand: //p' "$work/err")
eval "$by_hand" || fail "the command to mark by hand failed: $by_hand"
[ "$(received)" = "$(line mark --catalogue "$catalogue" --datas "$datas")" ] || fail "marking by hand: $by_hand"
echo "a refused marking job: the array named, exit 3"

# --- 5. The job scripts' exit codes: a task succeeds on nivra-data's 0 and 3 (stars that cannot
# be computed) only; the marking job fails on anything but 0, a damaged file (3) included.
reset
submit --catalogue "$catalogue" --datas "$datas" --shards 1 --nivra-data "$program" || fail "submit"
while read -r nivra task mark; do
    echo "$nivra" >"$dir/exit-code"
    : >"$work/job.err"
    run_call 1
    [ "$(cat "$work/codes")" = "$task" ] || fail "nivra-data's $nivra made the task exit $(cat "$work/codes")"
    run_call 2
    [ "$(cat "$work/codes")" = "$mark" ] || fail "nivra-data's $nivra made the marking job exit $(cat "$work/codes")"
    [ "$task" -eq 0 ] || grep -q "FAILED (exit $task)" "$work/job.err" || fail "no word of the failure: $(cat "$work/job.err")"
done <<'ROWS'
0 0 0
3 0 3
1 1 1
2 2 2
4 4 4
137 137 137
ROWS
rm -f "$dir/exit-code" "$work/calls"/nivra-data-*
for task in 1 -1 "" x; do
    (cd "$run" && env -i PATH="$PATH" SLURM_ARRAY_TASK_ID="$task" bash "$deploy/nivra-ephemeris.sbatch" \
        1 "$program" "$catalogue" "$datas" >/dev/null 2>&1)
    [ $? -eq 2 ] && [ -z "$(ls "$work/calls" | grep nivra-data)" ] || fail "task \"$task\" of 1 ran"
done
echo "job scripts: exit codes"
