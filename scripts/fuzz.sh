#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/ (or $NIVRA_FUZZ_BUILD), then runs each target on its corpus in fuzz/corpus/ for
# SECONDS seconds. Needs clang-14 and libclang-rt-14-dev: scripts/install-deps.sh --fuzz.
# Usage: scripts/fuzz.sh [SECONDS [TARGET...]]   (default 5 seconds; targets star_file,
# star_charts, sbdb, browser_command, command_line)
# Fails on any crash, sanitizer report, failed check, leak, input slower than 1 s or run over
# 2 GB; what failed is kept in build-fuzz/artifacts/. New inputs found go to a scratch folder,
# never into the committed corpora.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(star_file star_charts sbdb browser_command command_line)
build=${NIVRA_FUZZ_BUILD:-build-fuzz}

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIVRA_BUILD_FUZZERS=ON \
    -DBUILD_TESTING=OFF -DNIVRA_BUILD_BENCHMARKS=OFF
fi
cmake --build "$build" -j "$(nproc)" --target nivra_fuzzers

# Largest input each target makes (bytes): a star file of about 180 records (with the chart
# choices in front for star_charts), an SBDB export of a few dozen rows, a browser command line,
# a command line of a few dozen arguments.
declare -A max_len=([star_file]=16384 [star_charts]=16384 [sbdb]=16384 [browser_command]=4096
  [command_line]=1024)

artifacts="$build/artifacts"
mkdir -p "$artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
for target in "${targets[@]}"; do
  mkdir -p "$scratch/$target"
  echo "fuzz: $target for $seconds s"
  "$build/fuzz/nivra_fuzz_$target" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
    -max_len="${max_len[$target]}" -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
    "$scratch/$target" "fuzz/corpus/$target" >"$scratch/$target.log" 2>&1 || {
    status=$?
    tail -n 60 "$scratch/$target.log"
    echo "fuzz: $target failed (exit $status); inputs in $artifacts/" >&2
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^Done' "$scratch/$target.log" || true
done
