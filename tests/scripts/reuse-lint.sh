#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Every file of the repository says its copyright and licence (the REUSE rules, checked by
# Debian's reuse). Usage: reuse-lint.sh REPOSITORY
set -euo pipefail
repository=$(realpath "$1")
if ! command -v reuse >/dev/null; then
    "$repository/scripts/install-deps.sh" --package
fi
cd "$repository"
reuse lint
