#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Nivra needs on Debian 12, with apt only.
# Usage: scripts/install-deps.sh [--tests] [--fuzz] [--slurm] [--package]
#   (nothing)  what building and running the two programs need
#   --tests    also the test and benchmark libraries and the X tools of the window tests
#   --fuzz     also clang for the fuzz targets of fuzz/
#   --slurm    also Slurm and MUNGE for the cluster test (their daemons are not started: the
#              test starts and stops its own)
#   --package  also what making and checking the Debian package needs
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev libsqlite3-dev liberfa-dev libicu-dev rapidjson-dev
  fonts-wine
)
test_packages=(libgtest-dev libbenchmark-dev xvfb xauth openbox xdotool x11-utils)
# scripts/fuzz.sh: clang with libFuzzer and the sanitizer runtimes.
fuzz_packages=(clang-14 libclang-rt-14-dev)
# The Slurm test (tests/scripts/slurm-cluster.sh): a one-node cluster with MUNGE.
slurm_packages=(slurm-wlm munge)
# cpack's DEB generator (file, dpkg-shlibdeps), the man pages, the desktop file checks, Debian's
# package check (lintian) and the licence check of every file (reuse).
package_packages=(file dpkg-dev help2man desktop-file-utils appstream lintian reuse)

for option in "$@"; do
  case "$option" in
    --tests) packages+=("${test_packages[@]}") ;;
    --fuzz) packages+=("${fuzz_packages[@]}") ;;
    --slurm) packages+=("${slurm_packages[@]}") ;;
    --package) packages+=("${package_packages[@]}") ;;
    *) echo "usage: $0 [--tests] [--fuzz] [--slurm] [--package]" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
