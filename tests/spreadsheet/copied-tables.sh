#!/usr/bin/env bash
# "Copia tabelle" in LibreOffice Calc: the HTML the program puts on the
# clipboard, opened as Calc opens a paste (Italian), keeps every code as text
# with its leading zero and every figure a number equal to the page's
# (calccopy.cpp). Usage: copied-tables.sh [build folder]
set -euo pipefail
build=${1:-build}
if ! command -v soffice >/dev/null; then
  echo "copied-tables: soffice is missing (make test-spreadsheet installs it)" >&2
  exit 1
fi
QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$build/tests/spreadsheet/calccopy"
