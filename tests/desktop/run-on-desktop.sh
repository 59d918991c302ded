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
cleanup_processes() {
  [[ -n $wmpid ]] && kill "$wmpid" 2>/dev/null
  [[ -n $xpid ]] && kill "$xpid" 2>/dev/null
  [[ -n $xpid ]] && wait "$xpid" 2>/dev/null
  wmpid=""
  xpid=""
}
cleanup() {
  cleanup_processes
  rm -rf "$xdir"
}
trap cleanup EXIT
# Starts the X server and the window manager on it; 0 once the window manager
# has announced itself on the root window (a busy machine may take a while).
start_desktop() {
  : >"$xdir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xdir/display" >"$xdir/xvfb.log" 2>&1 &
  xpid=$!
  for _ in $(seq 100); do [[ -s $xdir/display ]] && break; sleep 0.1; done
  [[ -s $xdir/display ]] || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=:$(<"$xdir/display")
  HOME=$xdir openbox --sm-disable >"$xdir/openbox.log" 2>&1 &
  wmpid=$!
  for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$wmpid" 2>/dev/null || break
    sleep 0.1
  done
  echo "openbox did not start on $DISPLAY"
  cat "$xdir/openbox.log" "$xdir/xvfb.log"
  return 1
}
# On a busy machine, with other suites starting X servers of their own, the
# window manager has now and then failed to open the display it was given:
# then a new server and a new window manager, up to three times.
started=false
for _ in 1 2 3; do
  if start_desktop; then
    started=true
    break
  fi
  cleanup_processes
done
$started || { echo "FAIL: no X server with a window manager"; exit 1; }
export QT_QPA_PLATFORM=xcb
"$@"
