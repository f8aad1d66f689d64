#!/usr/bin/env bash
# Submits the ephemerides of a catalogue as a Slurm job array of N shards, and the marking job
# that runs once every shard has succeeded.
#
# Usage: deploy/slurm/submit.sh --catalogue DB --datas DIR --shards N [--cpus C]
#            [--max-running M] [--nivra-data PROGRAM] [-- EPHEMERIS ARGUMENTS...]
#   --cpus C         cores per task, each task's thread count (default 1)
#   --max-running M  at most M tasks at once (default: as many as the cluster gives)
#   --nivra-data P   the nivra-data program the nodes run (default: nivra-data on their PATH)
#   after --: passed to `nivra-data ephemeris`, e.g. --from 2000 --to 2019 --class 9
# The catalogue and the Datas folder must be on a file system every node sees. Other sbatch
# settings (partition, account, time limit) come from the SBATCH_* environment variables.
# Prints the two job ids: "ARRAY_ID MARK_ID".
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
catalogue="" datas="" shards="" cpus=1 throttle="" program=nivra-data
while [ $# -gt 0 ]; do
    case "$1" in
        --catalogue) catalogue=$(realpath "$2"); shift 2 ;;
        --datas) mkdir -p "$2"; datas=$(realpath "$2"); shift 2 ;;
        --shards) shards=$2; shift 2 ;;
        --cpus) cpus=$2; shift 2 ;;
        --max-running) throttle="%$2"; shift 2 ;;
        --nivra-data) program=$2; shift 2 ;;
        --) shift; break ;;
        *) echo "submit.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
if [ -z "$catalogue" ] || [ -z "$datas" ] || ! [[ "$shards" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: submit.sh --catalogue DB --datas DIR --shards N [--cpus C] [--max-running M]" \
         "[--nivra-data PROGRAM] [-- EPHEMERIS ARGUMENTS...]" >&2
    exit 2
fi
environment="ALL,NIVRA_DATA=$program,NIVRA_CATALOGUE=$catalogue,NIVRA_DATAS=$datas,NIVRA_SHARDS=$shards"
array=$(sbatch --parsable --array="0-$((shards - 1))$throttle" --cpus-per-task="$cpus" \
    --export="$environment" "$here/nivra-ephemeris.sbatch" "$@")
array=${array%%;*}
# afterok: only when every task succeeded; a failed task leaves the marking job nothing to wait
# for, and Slurm cancels it (rerun the task, then submit nivra-mark.sbatch alone).
mark=$(sbatch --parsable --dependency="afterok:$array" --kill-on-invalid-dep=yes \
    --export="$environment" "$here/nivra-mark.sbatch")
echo "${array} ${mark%%;*}"
