#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass their validators (desktop-file-utils,
# appstream). Exits 77 (skipped) when the validators are not installed.
#   desktop-files.sh RESOURCES
set -eu
resources=$1
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
desktop-file-validate "$resources/org.example.nivra.desktop"
appstreamcli validate --no-net "$resources/org.example.nivra.metainfo.xml"
