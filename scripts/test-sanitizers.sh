#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds every test with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer (gcc) into
# build-sanitizers/ (or $NIVRA_SANITIZER_BUILD) and runs them all; any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NIVRA_SANITIZER_BUILD:-build-sanitizers}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNIVRA_BUILD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
fi
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# use_tls=0: LeakSanitizer (gcc 12) crashes reading the thread-local storage of libraries loaded
# at run time; without it, memory that GLib keeps only there would look leaked, hence its entry
# in the suppressions, with the other system libraries that keep memory for the whole process.
export LSAN_OPTIONS=use_tls=0:suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
