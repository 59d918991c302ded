#!/usr/bin/env bash
# Takes docs/installer.png: the installer's first page, under Wine on a
# virtual X display with a window manager (openbox, for the window's frame),
# in a Wine prefix of its own that is removed afterwards.
# usage: scripts/windows/installer-screenshot.sh [BUILD_DIR]   (after make windows)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=${1:-$top/build-win}
installer=$(ls "$build"/rotamet-*-win64.exe | head -1)
out=$top/docs/installer.png

root=$(mktemp -d /tmp/rotamet-shot.XXXXXX)
export WINEPREFIX=$root/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pids=()
cleanup() {
  wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$root"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$root/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s $root/display ]] && break; sleep 0.1; done
export DISPLAY=:$(<"$root/display")
openbox >/dev/null 2>&1 &
pids+=($!)
wineboot -i >/dev/null 2>&1
wineserver -w

wine "$installer" >/dev/null 2>&1 &
id=$(timeout 60 xdotool search --sync --onlyvisible --name '^Installazione di Rotamet' | head -1)
sleep 2
import -frame -window "$id" "$out"
echo "saved $out"
