#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Opens the viewer under a real window manager (openbox on a 1920x1080 Xvfb display) and checks
# that the window's frame, title bar included, lies exactly over the work area, then closes it
# with Alt+F4 and expects exit code 0. Exits 77 (skipped) when the tools are not installed.
#   window-manager.sh NIVRA [FOLDER]   (without FOLDER, an empty program folder)
set -u
nivra=$1
folder=${2:-}
for tool in xvfb-run openbox xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
if [ -z "${WM_TEST_INNER:-}" ]; then
  WM_TEST_INNER=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
if [ -z "$folder" ]; then
  folder=$(mktemp -d)
  trap 'rm -rf "$folder"' EXIT
fi
openbox >/dev/null 2>&1 &
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
"$nivra" --folder "$folder" &
pid=$!
window=""
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --name '^Nivra - Tarnlight$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window"; kill $pid; exit 1; }
frame() {
  # The top-level frame holding the client: its absolute position and size.
  local id=$window parent
  while parent=$(xwininfo -children -id "$id" | awk '/Parent window id/{print $4}') &&
        [ "$parent" != "$(xwininfo -root | awk '/Window id/{print $4}')" ]; do
    id=$parent
  done
  xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$NF}/Absolute upper-left Y/{y=$NF}
    /Width/{w=$NF}/Height/{h=$NF} END{print x, y, w, h}'
}
geometry=""
for _ in $(seq 150); do
  geometry=$(frame)
  [ "$geometry" = "0 0 1920 1080" ] && break
  sleep 0.1
done
status=0
if [ "$geometry" != "0 0 1920 1080" ]; then
  echo "frame at $geometry, expected 0 0 1920 1080"
  xwininfo -id "$window" | grep -E 'Absolute|Width|Height'
  xprop -id "$window" _NET_WM_STATE _NET_FRAME_EXTENTS WM_NORMAL_HINTS
  status=1
fi
# The window manager closes the active window on Alt+F4; on a busy machine the first key may
# come before the window is active, so it is given a few chances.
for _ in 1 2 3; do
  xdotool windowactivate --sync "$window" >/dev/null 2>&1
  xdotool key --clearmodifiers alt+F4
  for _ in $(seq 50); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null || break
done
if kill -0 $pid 2>/dev/null; then
  echo "Alt+F4 did not close the window"
  kill $pid
  exit 1
fi
wait $pid
code=$?
[ $code -eq 0 ] || { echo "exit code $code after Alt+F4"; status=1; }
exit $status
