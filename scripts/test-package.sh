#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, installs it on this machine with apt, uses it from /usr/bin as an
# ordinary user (nobody, with a new home folder): the launcher's sample step, nivra info, nivra
# stars, nivra export, and the viewer offscreen up to "Ready" after a star choice; then removes
# the package again, also when a step fails. Needs root, or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NIVRA_BUILD:-build}
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
if dpkg-query -W -f='${Status}' nivra 2>/dev/null | grep -q 'install ok installed'; then
    echo "test-package: a nivra package is installed already; not replacing it" >&2
    exit 1
fi

cmake --build "$build" --target nivra nivra-data nivra-launcher man_pages
rm -f "$build"/nivra_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/nivra_*.deb)
echo "package: $deb"
# Debian's own check of a package: no error and no warning.
lintian --fail-on error,warning --no-tag-display-limit "$deb"

home=$(mktemp -d)
viewer=""
finish() {
    status=$?
    if [ -n "$viewer" ]; then
        kill "$viewer" 2>/dev/null || true
        wait "$viewer" 2>/dev/null || true
    fi
    "${as_root[@]}" pkill -u nobody -x nivra 2>/dev/null || true
    "${as_root[@]}" apt-get remove --purge -y -q nivra >/dev/null 2>&1 || true
    "${as_root[@]}" rm -rf "$home"
    [ "$status" -eq 0 ] && echo "package: installed, used and removed" ||
        echo "package: FAILED (the package was removed again)" >&2
    exit "$status"
}
trap finish EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends \
    "$deb" >/dev/null
for program in nivra nivra-data nivra-launcher; do
    [ -x "/usr/bin/$program" ] || fail "/usr/bin/$program is not installed"
    [ -f "/usr/share/man/man1/$program.1.gz" ] || fail "no man page of $program"
done
desktop-file-validate /usr/share/applications/org.example.nivra.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.example.nivra.metainfo.xml >/dev/null
[ -f /usr/share/icons/hicolor/scalable/apps/org.example.nivra.svg ] || fail "no icon"
[ -f /usr/share/nivra/sbdb/asteroids.json ] || fail "no SBDB export"

"${as_root[@]}" chown nobody "$home"
as_user() {
    "${as_root[@]}" runuser -u nobody -- env -i HOME="$home" PATH=/usr/bin:/bin \
        QT_QPA_PLATFORM=offscreen "$@"
}
folder=$home/.local/share/nivra
# As if the viewer had been started first: it leaves an empty catalogue, which the launcher
# still fills with the sample.
as_user mkdir -p "$folder"
as_user touch "$folder/Nivra.db"
as_user /usr/bin/nivra-launcher --prepare-only
[ -f "$folder/Nivra.db" ] || fail "the launcher made no sample in $folder"
[ "$(ls "$folder/Datas" | wc -l)" -eq 40 ] || fail "the sample has not 40 ephemeris files"
# The subcommands without --folder read the folder the viewer takes: the user's.
[ "$(as_user /usr/bin/nivra info --star 2000001 | wc -l)" -eq 31 ] || fail "nivra info"
[ "$(as_user /usr/bin/nivra stars | wc -l)" -eq 40 ] || fail "nivra stars"
[ "$(as_user /usr/bin/nivra stars --folder "$folder" | wc -l)" -eq 40 ] || fail "nivra stars"
# One version: the package's, in every program.
version=$(dpkg-query -W -f='${Version}' nivra)
for program in nivra nivra-data nivra-launcher; do
    [ "$(as_user /usr/bin/$program --version)" = "$program $version" ] ||
        fail "$program --version does not say $version"
done
# The bash completions are where bash-completion looks for them.
for program in nivra nivra-data; do
    [ -f "/usr/share/bash-completion/completions/$program" ] || fail "no completion of $program"
done
zcat /usr/share/doc/nivra/changelog.gz | head -1 | grep -q "^nivra ($version)" ||
    fail "the changelog does not start with $version"
as_user /usr/bin/nivra export --folder "$folder" --star 2000001 --look save --kind travel \
    --frame earth | grep -q "View Travel Earth.jpg	File successfully saved" || fail "nivra export"

# The viewer without --folder: /usr/bin holds no catalogue, so it opens the user's folder.
log=$(mktemp)
chmod 666 "$log"
as_user sh -c "exec /usr/bin/nivra --star 2000001 --verbose 2>$log" &
viewer=$!
for _ in $(seq 300); do
    grep -q '^status 0 +[0-9]* Ready$' "$log" && break
    sleep 0.1
done
grep -q '^status 0 +[0-9]* Ready$' "$log" || { cat "$log"; fail "the viewer never said Ready"; }
grep -q '^status 0 +[0-9]* Wait\.\.\.$' "$log" || fail "the viewer made no star choice"
echo "viewer: $(grep -c '^status 0' "$log") status texts, the last: $(grep '^status 0' "$log" | tail -1)"
rm -f "$log"
