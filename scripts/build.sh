#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Nivra in Release into build/ (or $NIVRA_BUILD).
# Usage: scripts/build.sh [--programs]
#   (nothing)   everything: the programs, the tests and the benchmarks
#   --programs  nivra and nivra-data alone, without the test and benchmark libraries
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NIVRA_BUILD:-build}
options=(-DBUILD_TESTING=ON -DNIVRA_BUILD_BENCHMARKS=ON)
targets=()
if [ "${1:-}" = --programs ]; then
  options=(-DBUILD_TESTING=OFF -DNIVRA_BUILD_BENCHMARKS=OFF)
  targets=(--target nivra nivra-data)
fi
generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then
  generator=(-G Ninja)
fi
cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
