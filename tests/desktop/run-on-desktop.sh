#!/usr/bin/env bash
# Runs a test program on a real window system: a virtual X display of its own
# (Xvfb) with a window manager (openbox), on Qt's xcb platform. There windows
# gain and lose the activation as on a user's desktop: a box that closes, a
# click on another program, which Qt's offscreen platform never does.
# Usage: run-on-desktop.sh PROGRAM [ARGS...]
set -uo pipefail
for tool in Xvfb openbox xdotool xprop; do
  command -v $tool >/dev/null || { echo "FAIL: $tool is missing (scripts/packages.txt)"; exit 1; }
done
xdir=$(mktemp -d)
xpid=""
wmpid=""
cleanup() {
  [[ -n $wmpid ]] && kill "$wmpid" 2>/dev/null
  [[ -n $xpid ]] && kill "$xpid" 2>/dev/null
  rm -rf "$xdir"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xdir/display" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 100); do [[ -s $xdir/display ]] && break; sleep 0.1; done
[[ -s $xdir/display ]] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$(<"$xdir/display")
HOME=$xdir openbox --sm-disable >"$xdir/openbox.log" 2>&1 &
wmpid=$!
# The window manager is up once it has announced itself on the root window
# (a busy machine may take a while).
for _ in $(seq 300); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  echo "FAIL: openbox did not start"
  cat "$xdir/openbox.log"
  exit 1
fi
export QT_QPA_PLATFORM=xcb
"$@"
