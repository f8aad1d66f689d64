#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the README's pictures of the chart pages, offscreen, on the sample program folder:
# docs/view-astrometric.png, docs/travel.png, docs/constellations.png, docs/star-orbite-page.png
# and docs/orbits-page.png for Ceres (2000001).
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/, configured by scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target nivra-data nivra_chart_screenshots
sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
"$build/nivra-data" sample "$sample" >/dev/null
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build/bench/nivra_chart_screenshots" --folder "$sample" \
  --star 2000001 --out docs
echo "docs/view-astrometric.png docs/travel.png docs/constellations.png"
echo "docs/star-orbite-page.png docs/orbits-page.png"
