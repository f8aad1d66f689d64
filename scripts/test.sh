#!/usr/bin/env bash
# Builds Nivra and runs every test: the suite in the normal build, then the same suite built
# with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer, then a short run of every
# fuzzer. NIVRA_TEST_QUICK=1 runs the normal suite alone.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir "${NIVRA_BUILD:-build}" --output-on-failure -j "$(nproc)"
if [ "${NIVRA_TEST_QUICK:-0}" = 1 ]; then
  exit 0
fi
scripts/test-sanitizers.sh
