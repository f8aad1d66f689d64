#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Prepares the sample program folder for the viewer: prepare-sample.sh BUILD_DIR FOLDER
# (the catalogue of the shipped SBDB data, ephemerides 2000-2019 for the sample stars, the
# background pictures and an empty Images folder).
set -euo pipefail
build=$1
folder=$2
"$build/nivra-data" sample "$folder"
