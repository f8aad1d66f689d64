#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Times chart preparation (the twenty chart images of one star choice) for Ceres on the sample
# folder (20 years of daily records) and on a 120-year file (1900-2019, made by nivra-data),
# with a memset of the same bytes measured in the same run, then prints the first preparation's
# time and the peak resident memory.
# Usage: scripts/bench-charts.sh [BUILD_DIR] [benchmark flags...]   (default build/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
cmake --build "$build" --target nivra-data nivra_chart_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/nivra-data" sample "$work/sample-20-years" >/dev/null
mkdir -p "$work/ceres-120-years/Datas"
cp "$work/sample-20-years/Nivra.db" "$work/ceres-120-years/"
"$build/nivra-data" ephemeris --catalogue "$work/ceres-120-years/Nivra.db" \
  --out "$work/ceres-120-years/Datas" --from 1900 --to 2019 --spk 2000001 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bench/nivra_chart_bench" \
  --folder="$work/sample-20-years" --star=2000001 \
  --folder="$work/ceres-120-years" --star=2000001 "$@"
