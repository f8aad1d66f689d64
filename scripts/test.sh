#!/usr/bin/env bash
# Builds Nivra and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir "${NIVRA_BUILD:-build}" --output-on-failure -j "$(nproc)"
