#!/usr/bin/env bash
# Makes the README pictures from a build: docs/window.png, the window as it
# opens, and docs/page.png, the page the "stampa" button prints.
# usage: scripts/screenshots.sh [BUILD_DIR]        (default: build)
#
# The program runs under a virtual X display with no print server, so it
# prints to a PDF in the documents folder of a throw-away HOME; the page is
# that PDF rendered at 80 dpi.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
app=$build/app/rotamet
docs=$top/docs
[[ -x $app ]] || { echo "screenshots: no $app; build first" >&2; exit 1; }
mkdir -p "$docs"

home=$(mktemp -d)
xpid="" apid=""
cleanup() {
  [[ -n $apid ]] && kill "$apid" 2>/dev/null
  [[ -n $xpid ]] && kill "$xpid" 2>/dev/null
  rm -rf "$home"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$home/display" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 100); do [[ -s $home/display ]] && break; sleep 0.1; done
DISPLAY=:$(<"$home/display")
export DISPLAY

mkdir -m 700 "$home/run"
HOME=$home XDG_RUNTIME_DIR=$home/run CUPS_SERVER=/nonexistent QT_QPA_PLATFORM=xcb "$app" >"$home/app.log" 2>&1 &
apid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Rotamet' | head -n 1) || {
  echo "screenshots: the window did not appear" >&2; cat "$home/app.log" >&2; exit 1; }
sleep 1  # let the first paint finish
import -window "$wid" "$docs/window.png"
echo "saved $docs/window.png"

# The centre of cmdStampa, in pixels from the client area's top-left corner:
# the button lies at (2280, 5400) in the frame at (240, 120), 1335 x 495 twips,
# 15 twips to the pixel.
x=$(((240 + 2280 + 1335 / 2) / 15))
y=$(((120 + 5400 + 495 / 2) / 15))
xdotool mousemove --window "$wid" "$x" "$y" click 1

# The PDF is complete once pdfinfo can read its trailer.
pdf=""
for _ in $(seq 200); do
  pdf=$(find "$home" -name 'Rotamet *.pdf' -print -quit)
  [[ -n $pdf ]] && pdfinfo "$pdf" >/dev/null 2>&1 && break
  pdf=""
  sleep 0.1
done
[[ -n $pdf ]] || { echo "screenshots: no printed PDF under $home" >&2; cat "$home/app.log" >&2; exit 1; }
pdftoppm -png -r 80 -singlefile -f 1 -l 1 "$pdf" "$docs/page"
echo "saved $docs/page.png (from ${pdf#"$home"/})"
