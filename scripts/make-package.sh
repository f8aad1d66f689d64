#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of Nivra (build/nivra_VERSION_ARCH.deb) on Debian 12: installs what
# building it needs, builds the programs and their man pages, and packs them with cpack.
# Install it with: sudo apt-get install ./build/nivra_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NIVRA_BUILD:-build}
scripts/install-deps.sh --package
scripts/build.sh --programs
cmake --build "$build" --target nivra-launcher man_pages
rm -f "$build"/nivra_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/nivra_*.deb
