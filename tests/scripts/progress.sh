#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# nivra-data's long runs on a terminal show one progress line, rewritten in place, and a line per
# star only with --verbose; into a pipe they print a line per star as they always have.
# Usage: progress.sh NIVRA_DATA
set -uo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" sample "$work/sky" >/dev/null 2>&1 || { echo "no sample"; exit 1; }
failures=0
check() {
    if ! eval "$2"; then
        echo "FAIL: $1"
        failures=$((failures + 1))
    fi
}
ephemeris=(ephemeris --catalogue "$work/sky/Nivra.db" --out "$work/D" --from 2019 --to 2019
    --spk 2000001 2000002 2000003 2000004)
# On a terminal (script(1) gives the run one).
script -qec "$(printf '%q ' "$tool" "${ephemeris[@]}")" /dev/null >"$work/terminal" 2>&1
check "a progress line on a terminal" "grep -q \$'\\rephemeris: 4 of 4 stars' '$work/terminal'"
check "no line per star on a terminal" "! grep -q 'Ceres: 365 records' '$work/terminal'"
check "the summary after the progress line" "grep -q '4 files, 1460 records' '$work/terminal'"
script -qec "$(printf '%q ' "$tool" "${ephemeris[@]}" --verbose)" /dev/null >"$work/verbose" 2>&1
check "a line per star with --verbose" "grep -q 'Ceres: 365 records' '$work/verbose'"
check "no progress line with --verbose" "! grep -q 'ephemeris: 4 of 4' '$work/verbose'"
script -qec "$(printf '%q ' "$tool" mark --catalogue "$work/sky/Nivra.db" --datas "$work/D")" \
    /dev/null >"$work/mark" 2>&1
check "mark's progress line" "grep -q 'mark: 3808 of 3808 stars' '$work/mark'"
# Into a pipe: as before.
"$tool" "${ephemeris[@]}" 2>&1 | cat >"$work/pipe"
check "a line per star into a pipe" "grep -q 'Ceres: 365 records' '$work/pipe'"
check "no progress line into a pipe" "! grep -q \$'\\r' '$work/pipe'"
[ "$failures" -eq 0 ] && echo "progress as expected" || exit 1
