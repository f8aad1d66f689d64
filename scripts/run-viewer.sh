#!/usr/bin/env bash
# From a fresh Debian 12 machine to the open viewer: installs the packages, builds in Release,
# prepares the sample program folder (sample/) and opens Nivra on it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --fuzz
scripts/build.sh
build=${NIVRA_BUILD:-build}
folder=${NIVRA_SAMPLE:-sample}
scripts/prepare-sample.sh "$build" "$folder"
exec "$build/nivra" --folder "$folder"
