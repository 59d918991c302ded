#!/usr/bin/env bash
# Renders packaging/icons/rotamet.svg to the 16, 32 and 64 pixel PNGs beside
# it and to the Windows icon rotamet.ico: 24-bit RGB, no alpha channel
# (transparent parts, if the drawing ever has any, become the icon's background
# blue), and their pixels as plain RGB (rotamet-16.rgb and so on, the window
# icon). The build uses the committed files; run this after changing the
# drawing and commit what it writes.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
icons=$(cd "$(dirname "$0")/icons" && pwd)
for size in 16 32 64; do
  rsvg-convert --width "$size" --height "$size" "$icons/rotamet.svg" |
    convert png:- -background '#1f3b5c' -alpha remove -alpha off -strip \
      "PNG24:$icons/rotamet-$size.png"
  # The window icon's pixels as the program keeps them: 8-bit RGB rows.
  convert "$icons/rotamet-$size.png" -depth 8 "RGB:$icons/rotamet-$size.rgb"
done
file "$icons"/rotamet-*.png
# The Windows icon (the executable's and the installer's): the same drawing
# at 16, 24, 32, 48, 64 and 256 pixels in one .ico.
ico_parts=()
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for size in 16 24 32 48 64 256; do
  rsvg-convert --width "$size" --height "$size" "$icons/rotamet.svg" |
    convert png:- -background '#1f3b5c' -alpha remove -alpha off -strip "PNG24:$tmp/$size.png"
  ico_parts+=("$tmp/$size.png")
done
convert "${ico_parts[@]}" "$icons/rotamet.ico"
file "$icons/rotamet.ico"
