#!/usr/bin/env bash
# Makes the pictures of the README and of the manual from a build:
# docs/window.png, the window as it opens; docs/menu.png, the menu of
# "stampa" open on the window; docs/preview.png, the print preview;
# docs/page.png, the page the "stampa" button prints; docs/help.png, the
# help window that F1 opens. The manual's copies go to help/manuale/immagini/
# under their Italian names (finestra.png, menu-stampa.png, anteprima.png,
# pagina.png, guida.png), where the build compiles them into the program.
# usage: scripts/screenshots.sh [BUILD_DIR]        (default: build)
#
# The program runs under a virtual X display with a window manager (openbox)
# and no print server, so it prints to a PDF in the documents folder of a
# throw-away HOME; the page is that PDF rendered at 80 dpi.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
app=$build/app/rotamet
docs=$top/docs
manual=$top/help/manuale/immagini
[[ -x $app ]] || { echo "screenshots: no $app; build first" >&2; exit 1; }
mkdir -p "$docs" "$manual"

home=$(mktemp -d)
xpid="" wmpid="" apid=""
cleanup() {
  [[ -n $apid ]] && kill "$apid" 2>/dev/null
  [[ -n $wmpid ]] && kill "$wmpid" 2>/dev/null
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
HOME=$home openbox --sm-disable >/dev/null 2>&1 &
wmpid=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
# A desktop's plain background, painted on the root window once
# the window manager is up.
convert -size 1024x768 xc:'#4a6f8f' "$home/desktop.png"
display -window root "$home/desktop.png" || true  # paints, then answers 1 all the same

mkdir -m 700 "$home/run"
HOME=$home XDG_RUNTIME_DIR=$home/run CUPS_SERVER=/nonexistent QT_QPA_PLATFORM=xcb "$app" >"$home/app.log" 2>&1 &
apid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Rotamet' | head -n 1) || {
  echo "screenshots: the window did not appear" >&2; cat "$home/app.log" >&2; exit 1; }
sleep 1  # let the first paint finish
import -window "$wid" "$docs/window.png"
echo "saved $docs/window.png"

# cmdStampa, in pixels from the client area's top-left corner: the button
# lies at (2280, 5400) in the frame at (240, 120), 1335 x 495 twips, 15 twips
# to the pixel.
left=$(((240 + 2280) / 15))
top=$(((120 + 5400) / 15))
x=$(((240 + 2280 + 1335 / 2) / 15))
y=$(((120 + 5400 + 495 / 2) / 15))

# The menu of "stampa", opened by a right click near the button's lower left
# corner, with the lower left part of the window.
eval "$(xdotool getwindowgeometry --shell "$wid")"  # X, Y: the client area on the screen
xdotool mousemove --window "$wid" $((left + 10)) $((top + 495 / 15 - 6)) click 3
sleep 1
import -window root -crop 440x200+$((X - 12))+$((Y + top - 40)) +repage "$docs/menu.png"
echo "saved $docs/menu.png"
# "&Anteprima di stampa…", by its letter.
xdotool key a
pwid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Anteprima di stampa' | head -n 1) || {
  echo "screenshots: the preview did not appear" >&2; cat "$home/app.log" >&2; exit 1; }
sleep 1
import -window "$pwid" "$docs/preview.png"
echo "saved $docs/preview.png"
xdotool key Escape
sleep 0.5

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

# F1 on the speed field, once the print's closing message is closed: the
# help at the speed's section.
xdotool key Return
sleep 0.5
xdotool mousemove --window "$wid" $(((240 + 2400 + 540) / 15)) $(((120 + 1380 + 225) / 15)) click 1
xdotool key F1
hwid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Guida di Rotamet' | head -n 1) || {
  echo "screenshots: the help did not appear" >&2; cat "$home/app.log" >&2; exit 1; }
sleep 1
import -window "$hwid" "$docs/help.png"
echo "saved $docs/help.png"
xdotool key Escape

# The manual's copies.
cp "$docs/window.png" "$manual/finestra.png"
cp "$docs/menu.png" "$manual/menu-stampa.png"
cp "$docs/preview.png" "$manual/anteprima.png"
cp "$docs/page.png" "$manual/pagina.png"
cp "$docs/help.png" "$manual/guida.png"
echo "saved the manual's pictures in $manual"
