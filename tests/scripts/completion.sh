#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The bash completions of nivra and nivra-data: sources them and asks for the completions of
# command lines, as bash does at a Tab. Usage: completion.sh COMPLETIONS_FOLDER
set -uo pipefail
folder=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/sky/Datas" "$work/other"
touch "$work/sky/Nivra.db" "$work/sky/notes.txt" "$work/asteroids.json"
# shellcheck source=/dev/null
source "$folder/nivra" || exit 1
# shellcheck source=/dev/null
source "$folder/nivra-data" || exit 1
failures=0

# completes "COMMAND LINE" "EXPECTED": the words offered for the last word of the line (empty for
# a line that ends in a blank), sorted and joined with blanks.
completes() {
    local line=$1 expected=$2
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    local function
    function=$(complete -p "${COMP_WORDS[0]}" | sed -E 's/.*-F ([^ ]+).*/\1/')
    local got
    got=$(
        cd "$work" || exit 1
        "$function"
        printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
    )
    if [ "$got" != "$expected" ]; then
        echo "FAIL: \"$line\" gave \"$got\", expected \"$expected\""
        failures=$((failures + 1))
    fi
}

completes "nivra " "--folder --help --star --verbose --version export find info stars"
completes "nivra find --" "--folder --help"
completes "nivra in" "info"
completes "nivra export --" "--folder --format --frame --help --kind --look --star --year"
completes "nivra export --look " "both export save"
completes "nivra export --kind t" "travel"
completes "nivra export --frame g" "galactic geometric"
completes "nivra export --format " "jpeg png"
completes "nivra stars --" "--folder --help --sort"
completes "nivra info --star 2000001 --f" "--folder"
completes "nivra --folder s" "sky"
completes "nivra stars --folder o" "other"
completes "nivra-data " "--help --version catalogue drift ephemeris mark sample"
completes "nivra-data ma" "mark"
completes "nivra-data mark --" "--catalogue --datas --help --no-wait --threads --verbose"
completes "nivra-data ephemeris --sh" "--shard"
completes "nivra-data ephemeris --shard " "slurm"
completes "nivra-data ephemeris --out s" "sky"
completes "nivra-data mark --datas sky/" "sky/Datas"
completes "nivra-data ephemeris --catalogue sky/" "sky/Datas sky/Nivra.db"
completes "nivra-data catalogue --out sky/Nivra.db a" "asteroids.json"
completes "nivra-data sample o" "other"
completes "nivra-data sample --f" "--force"

if [ "$failures" -ne 0 ]; then
    echo "$failures completions wrong"
    exit 1
fi
echo "every completion as expected"
