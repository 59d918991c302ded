#!/bin/sh
# A pump file that LibreOffice Calc opened and saved again as CSV (";",
# in Windows-1252 and in UTF-8) imports: made here with a real Calc
# (headless), then read by the import's own suite.
#
#   tests/spreadsheet/calc-csv-import.sh [BUILD]        checks (BUILD: build)
#   tests/spreadsheet/calc-csv-import.sh --fixtures DIR  writes the files only
#
# The code column is taken by Calc two ways: as Text (a user who set the
# column's format; every pump imports) and as Standard (Calc's guess: the
# numeric codes become numbers and lose their leading zero; those lines are
# refused, the code with letters imports). The files that tests/data keeps
# for the suite were made by the second form of this script.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
fixtures=
build=build
if [ "${1:-}" = --fixtures ]; then
    fixtures=${2:?a folder}
else
    build=${1:-build}
fi

if ! command -v soffice >/dev/null 2>&1; then
    echo "calc-csv-import: soffice missing (Debian package libreoffice-calc-nogui)" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# The pumps as the user edited them in Calc: an exported file with two
# angles written with their degree sign (kept as text by Calc).
cat >"$work/pompe.csv" <<'CSV'
codice;minimo_mm;massimo_mm;fine_alzata_gradi
0445010800;37,35;46,95;110°
0445010801;37,6;47,1;90
A2C1637670081;38,51;50,5;80°
CSV

# Filter options: separator 59 (";"), text delimiter 34 ('"'), character set
# (76 UTF-8, 1 Windows-1252), first line 1, then the columns' formats
# (column/format: 1 Standard, 2 Text) for the reading. Calc in Italian
# writes "37,35" as Italian numbers.
convert() { # NAME CODE-FORMAT CHARSET
    mkdir -p "$work/$1"
    HOME="$work/home" LANG=it_IT.UTF-8 LC_ALL=it_IT.UTF-8 \
        soffice --headless --infilter="CSV:59,34,76,1,1/$2/2/1/3/1/4/1" \
        --convert-to "csv:Text - txt - csv (StarCalc):59,34,$3" --outdir "$work/$1" "$work/pompe.csv" >/dev/null 2>&1
    mv "$work/$1/pompe.csv" "$work/out/$1.csv"
}
mkdir -p "$work/out"
convert calc-testo-utf8 2 76
convert calc-testo-1252 2 1
convert calc-standard-utf8 1 76
convert calc-standard-1252 1 1

if [ -n "$fixtures" ]; then
    mkdir -p "$fixtures"
    cp "$work"/out/*.csv "$fixtures/"
    exit 0
fi

# The suite reads the same rows from the files Calc wrote just now as from
# its own copies.
ROTAMET_CALC_CSV_DIR="$work/out" QT_QPA_PLATFORM=offscreen \
    "$build/tests/tst_importplan" calcSavedFilesImport
