#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Submits the ephemerides of a catalogue as a Slurm job array of N shards, and the marking job
# that runs once every shard has succeeded.
#
# Before anything is queued it writes the job's rerun command into the current folder, where
# Slurm writes the tasks' output: nivra-ephemeris-ARRAY.rerun TASK[,TASK...] submits those
# tasks again with exactly this job's settings (catalogue, folder, shard count, cores,
# nivra-data and its ephemeris arguments), and a marking job after them.
#
# The values reach the job scripts as their arguments, never through sbatch --export (which
# splits at commas), so a path may hold commas, spaces or any other character.
#
# Exit codes:
#   0  the array job and its marking job are queued; "ARRAY_ID MARK_ID" on standard output
#   1  nothing was queued (the reason on standard error)
#   2  a bad command line (the usage on standard error)
#   3  the array job is queued but its marking job is not: ARRAY_ID alone on standard output,
#      and standard error says how to cancel it or mark by hand
set -uo pipefail

usage="usage: submit.sh --catalogue DB --datas DIR --shards N [--cpus C] [--max-running M]
                 [--nivra-data PROGRAM] [--tasks LIST] [-- EPHEMERIS ARGUMENTS...]
  --catalogue DB     the catalogue (Nivra.db) the tasks read and the marking job marks
  --datas DIR        the folder the tasks write their .Nvr files into (made if missing)
  --shards N         the number of tasks (shards), 1 to 1000000
  --cpus C           cores per task, each task's thread count, 1 to 1024 (default 1)
  --max-running M    at most M tasks at once, 1 to 1000000 (default: as many as the cluster gives)
  --nivra-data P     the nivra-data program the nodes run (default: nivra-data on their PATH)
  --tasks LIST       only these of the N tasks (K or K-L, separated by commas): a rerun
  after --: passed to \`nivra-data ephemeris\`, e.g. -- --class 9 --from 1990 --to 2029
A value may not begin with \"--\". Other sbatch settings (partition, account, time limit) come
from the SBATCH_* environment variables."

bad() {
    printf 'submit.sh: %s\n%s\n' "$1" "$usage" >&2
    exit 2
}
fail() {
    printf 'submit.sh: %s\n' "$1" >&2
    exit 1
}
# The absolute path of an existing file or folder, links resolved (a name may end in a newline).
absolute() {
    local path
    path=$(realpath -e -- "$1" && echo .) || return 1
    path=${path%.}
    printf '%s' "${path%$'\n'}"
}
# whole OPTION TEXT MAX: TEXT is a whole number from 1 to MAX, written plainly.
whole() {
    [[ "$2" =~ ^[1-9][0-9]{0,8}$ ]] && [ "$2" -le "$3" ] ||
        bad "$1 takes a whole number from 1 to $3, not \"$2\""
}

catalogue="" datas="" shards="" cpus=1 throttle="" program=nivra-data tasks=""
declare -A given=()
while [ $# -gt 0 ]; do
    option=$1
    case "$option" in
        -h | --help)
            printf '%s\n' "$usage"
            exit 0
            ;;
        --)
            shift
            break
            ;;
        --catalogue | --datas | --shards | --cpus | --max-running | --nivra-data | --tasks) ;;
        *) bad "unknown option \"$option\"" ;;
    esac
    [ -z "${given[$option]:-}" ] || bad "$option is given twice"
    given[$option]=1
    if [ $# -lt 2 ] || [ -z "$2" ] || [[ "$2" == --* ]]; then
        bad "$option needs a value"
    fi
    value=$2
    shift 2
    case "$option" in
        --catalogue) catalogue=$value ;;
        --datas) datas=$value ;;
        --shards) whole "$option" "$value" 1000000 && shards=$value ;;
        --cpus) whole "$option" "$value" 1024 && cpus=$value ;;
        --max-running) whole "$option" "$value" 1000000 && throttle=$value ;;
        --nivra-data) program=$value ;;
        --tasks) tasks=$value ;;
    esac
done
[ -n "$catalogue" ] || bad "--catalogue is needed"
[ -n "$datas" ] || bad "--datas is needed"
[ -n "$shards" ] || bad "--shards is needed"
# The job sets these itself; given again, every task would fail on them.
for argument in "$@"; do
    case "$argument" in
        --catalogue | --out | --shard | --threads)
            bad "$argument is set by the job itself (from --catalogue, --datas, --shards and --cpus)"
            ;;
    esac
done
range="0-$((shards - 1))"
if [ -n "$tasks" ]; then
    number='(0|[1-9][0-9]{0,6})'
    [[ "$tasks" =~ ^$number(-$number)?(,$number(-$number)?)*$ ]] ||
        bad "--tasks takes task numbers K or ranges K-L separated by commas, not \"$tasks\""
    IFS=, read -r -a parts <<<"$tasks"
    for part in "${parts[@]}"; do
        first=${part%-*} last=${part#*-}
        [ "$first" -le "$last" ] || bad "--tasks: the range $part runs backwards"
        [ "$last" -lt "$shards" ] || bad "--tasks: there is no task $last (tasks 0 to $((shards - 1)))"
    done
    range=$tasks
fi

# --- What the job needs, checked before anything is queued.
[ -e "$catalogue" ] || fail "the catalogue $catalogue does not exist"
catalogue=$(absolute "$catalogue") || fail "cannot find the catalogue's folder"
[ -f "$catalogue" ] || fail "the catalogue $catalogue is not a file"
[ -r "$catalogue" ] || fail "the catalogue $catalogue cannot be read"
folder=$(dirname -- "$catalogue")
[ -w "$folder" ] && [ -x "$folder" ] ||
    fail "the marking job could not replace the catalogue: its folder $folder cannot be written"
if [ ! -d "$datas" ]; then
    if [ -e "$datas" ] || [ -L "$datas" ]; then
        fail "$datas is not a folder"
    fi
    mkdir -p -- "$datas" || fail "cannot make the folder $datas"
fi
datas=$(absolute "$datas") || fail "cannot find the folder $datas"
[ -w "$datas" ] && [ -x "$datas" ] || fail "the folder $datas cannot be written"
if [[ "$program" == */* ]]; then
    program=$(absolute "$program") || fail "there is no program $program"
    [ -f "$program" ] && [ -x "$program" ] || fail "$program is not a program that can be run"
fi
here=$(cd "$(dirname -- "$0")" && pwd -P) || fail "cannot find the job scripts beside submit.sh"
submitted_from=$PWD

# --- The rerun command, written under a temporary name first: a full disk or a folder that
# cannot be written stops the submission before anything is queued.
job=(--catalogue "$catalogue" --datas "$datas" --shards "$shards" --cpus "$cpus")
[ -z "$throttle" ] || job+=(--max-running "$throttle")
job+=(--nivra-data "$program" -- "$@")
rerun_command=$(printf '%q --tasks TASK[,TASK...]' "$here/submit.sh" && printf ' %q' "${job[@]}")
last_task=$((shards - 1))
record_text=$(
    printf '#!/usr/bin/env bash\n'
    printf '# Reruns tasks of one ephemeris job with its own settings, then a marking job after them:\n'
    printf '#   nivra-ephemeris-ARRAY.rerun TASK[,TASK...]    (tasks 0 to %s)\n' "$last_task"
    printf '[ $# -eq 1 ] || { echo "usage: ${0##*/} TASK[,TASK...] (tasks 0 to %s)" >&2; exit 2; }\n' \
        "$last_task"
    printf 'cd -- %q || exit 1\n' "$submitted_from"
    printf 'exec %q --tasks "$1"' "$here/submit.sh"
    printf ' %q' "${job[@]}"
)
temporary=$(mktemp -- "$submitted_from/nivra-ephemeris-rerun.XXXXXX") ||
    fail "cannot write the job's rerun command in $submitted_from (where Slurm writes the tasks' output)"
trap 'rm -f -- "$temporary"' EXIT
printf '%s\n' "$record_text" >"$temporary" && chmod 700 -- "$temporary" && sync -- "$temporary" ||
    fail "cannot write the job's rerun command in $submitted_from (where Slurm writes the tasks' output)"

array="" mark="" record=""
# Gives the record its name after the array's job id; a name already taken (a user's file, a
# folder) is left alone and the record keeps its temporary name.
keep_record() {
    record=$submitted_from/nivra-ephemeris-$array.rerun
    if ln -T -- "$temporary" "$record" 2>/dev/null; then
        rm -f -- "$temporary"
    else
        record=$temporary
    fi
    trap - EXIT
}
cancel_or_mark() {
    printf 'submit.sh: cancel it with: scancel %s\n' "$array"
    printf 'submit.sh: or, once its tasks are done, mark by hand: %q mark' "$program"
    printf ' %q' --catalogue "$catalogue" --datas "$datas"
    printf '\nsubmit.sh: its rerun command: %q TASK[,TASK...]\n' "$record"
}
interrupted() {
    if [ -n "$array" ] && [ -z "$mark" ]; then
        [ -n "$record" ] || keep_record
        {
            printf 'submit.sh: interrupted: array job %s is queued without its marking job\n' "$array"
            cancel_or_mark
        } >&2
    fi
    exit 130
}
trap interrupted INT TERM HUP

answer=$(sbatch --parsable --export=ALL --array="$range${throttle:+%$throttle}" \
    --cpus-per-task="$cpus" "$here/nivra-ephemeris.sbatch" \
    "$shards" "$program" "$catalogue" "$datas" "$@") ||
    fail "sbatch did not submit the array job; nothing is queued"
if ! [[ "${answer%%;*}" =~ ^[0-9]+$ ]]; then
    fail "sbatch gave no job id for the array job (\"$answer\"); look with squeue whether it was queued"
fi
array=${answer%%;*}
keep_record
if ! answer=$(sbatch --parsable --export=ALL --dependency="afterok:$array" \
    --kill-on-invalid-dep=yes "$here/nivra-mark.sbatch" "$program" "$catalogue" "$datas") ||
    ! [[ "${answer%%;*}" =~ ^[0-9]+$ ]]; then
    echo "$array"
    {
        printf 'submit.sh: array job %s is queued, but its marking job could not be submitted\n' \
            "$array"
        cancel_or_mark
    } >&2
    exit 3
fi
mark=${answer%%;*}
echo "$array $mark"
{
    printf 'submit.sh: array job %s (tasks %s of %s) and its marking job %s are queued\n' \
        "$array" "$range" "$shards" "$mark"
    printf 'submit.sh: to rerun tasks of this job alone with its settings, then mark again:\n'
    printf '  %q TASK[,TASK...]\n' "$record"
    printf 'submit.sh: which runs\n  %s\n' "$rerun_command"
} >&2
