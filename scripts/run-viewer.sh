#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# From a fresh Debian 12 machine to the open viewer: installs what building and running need,
# builds the two programs in Release, prepares the sample program folder (sample/) and opens
# Nivra on it. Arguments are passed on to the viewer (--verbose, for example).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh --programs
build=${NIVRA_BUILD:-build}
folder=${NIVRA_SAMPLE:-sample}
[ -f "$folder/Nivra.db" ] || scripts/prepare-sample.sh "$build" "$folder"
exec "$build/nivra" --folder "$folder" "$@"
