#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Nivra and runs every test: the suite in the normal build, then the Debian package built,
# installed, used and removed again (scripts/test-package.sh), then the same suite built with
# AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer, then a short run of every fuzzer
# (5 s each; NIVRA_FUZZ_SECONDS changes it). NIVRA_TEST_QUICK=1 runs the normal suite alone.
# It installs what it needs first (scripts/install-deps.sh --tests --fuzz --slurm --package, with
# apt; nothing when all is there), so it runs alone on a fresh Debian 12 machine.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${NIVRA_TEST_QUICK:-0}" = 1 ]; then
  scripts/install-deps.sh --tests
else
  scripts/install-deps.sh --tests --fuzz --slurm --package
fi
scripts/build.sh
ctest --test-dir "${NIVRA_BUILD:-build}" --output-on-failure -j "$(nproc)"
if [ "${NIVRA_TEST_QUICK:-0}" = 1 ]; then
  exit 0
fi
scripts/test-package.sh
scripts/test-sanitizers.sh
if ! command -v clang++-14 >/dev/null; then
  echo "test: the fuzz targets need clang-14 and libclang-rt-14-dev: scripts/install-deps.sh --fuzz" >&2
  exit 1
fi
scripts/fuzz.sh "${NIVRA_FUZZ_SECONDS:-5}"
