#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop entry and the AppStream metainfo pass their validators (desktop-file-utils,
# appstream), and the metainfo's newest release and NEWS.md's newest version are the build's.
# Exits 77 (skipped) when the validators are not installed.
#   desktop-files.sh RESOURCES VERSION
set -eu
resources=$1
version=$2
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
desktop-file-validate "$resources/org.example.nivra.desktop"
appstreamcli validate --no-net "$resources/org.example.nivra.metainfo.xml"
released=$(grep -o '<release version="[^"]*"' "$resources/org.example.nivra.metainfo.xml" | head -1 |
    cut -d'"' -f2)
[ "$released" = "$version" ] || { echo "the metainfo's newest release is $released, not $version"; exit 1; }
news=$(grep -m1 -o '^## [0-9.]*' "$resources/../NEWS.md" | cut -c4-)
[ "$news" = "$version" ] || { echo "NEWS.md's newest version is $news, not $version"; exit 1; }
