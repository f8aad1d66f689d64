#!/usr/bin/env bash
# Every file of the repository says its copyright and licence (the REUSE rules, checked by
# Debian's reuse). Usage: reuse-lint.sh REPOSITORY
set -euo pipefail
repository=$(realpath "$1")
if ! command -v reuse >/dev/null; then
    "$repository/scripts/install-deps.sh" --package
fi
cd "$repository"
reuse lint
