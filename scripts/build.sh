#!/usr/bin/env bash
# Configures and builds Nivra in Release into build/ (or $NIVRA_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NIVRA_BUILD:-build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j "$(nproc)"
