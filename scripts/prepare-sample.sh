#!/usr/bin/env bash
# Prepares a program folder for the viewer: prepare-sample.sh BUILD_DIR FOLDER
set -euo pipefail
build=$1
folder=$2
mkdir -p "$folder/Datas" "$folder/Configuration" "$folder/Images"
