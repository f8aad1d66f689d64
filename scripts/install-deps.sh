#!/usr/bin/env bash
# Installs what Nivra needs to build, test and run on Debian 12, with apt only.
# Usage: scripts/install-deps.sh [--fuzz]   (--fuzz: also clang for the fuzz targets of fuzz/)
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev libsqlite3-dev liberfa-dev libicu-dev rapidjson-dev
  libgtest-dev libbenchmark-dev
  fonts-wine
  xvfb xauth openbox xdotool x11-utils
)
# scripts/fuzz.sh: clang with libFuzzer and the sanitizer runtimes.
fuzz_packages=(clang-14 libclang-rt-14-dev)

for option in "$@"; do
  case "$option" in
    --fuzz) packages+=("${fuzz_packages[@]}") ;;
    *) echo "usage: $0 [--fuzz]" >&2; exit 2 ;;
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
