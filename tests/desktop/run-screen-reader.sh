#!/usr/bin/env bash
# The program as a screen reader meets it: a session bus, the accessibility
# bus (at-spi2-core) and the real program on the X display that
# run-on-desktop.sh started, then screenreader.py reads it through AT-SPI.
# Usage: run-on-desktop.sh run-screen-reader.sh ROTAMET
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher
for tool in dbus-launch xdotool "$launcher"; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/packages.txt)"; exit 1; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "FAIL: python3-pyatspi is missing (scripts/packages.txt)"; exit 1; }
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  [[ -n ${DBUS_SESSION_BUS_PID:-} ]] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/run HOME=$work/home
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$HOME"
eval "$(dbus-launch --sh-syntax)"
"$launcher" --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
# No print server: the lookup answers at once with none.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 CUPS_SERVER=$work/no-server.sock "$1" >"$work/program.log" 2>&1 &
pids+=($!)
/usr/bin/python3 "$here/screenreader.py"
status=$?
((status == 0)) || cat "$work/program.log"
exit $status
