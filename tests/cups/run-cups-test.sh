#!/usr/bin/env bash
# Prints the page through CUPS on the cups-pdf virtual printer, set up as the
# default queue of a private print server (tests/cups/private-cupsd.sh: its
# own cupsd, folders and socket; the system's cupsd and /etc/cups are left
# alone), and checks the PDF that comes out: one A4 page. cups-pdf re-encodes
# the text, so the words are checked on the program's own PDF output
# elsewhere, not here. Then runs the window's printer-lookup suite against
# the same server.
# Needs root and CUPS with cups-pdf; reports a skip (77) otherwise.
# Usage: run-cups-test.sh PATH-TO-cupsprint PATH-TO-tst_printerlookup
set -uo pipefail
program=$1
lookup_suite=$2
here=$(cd "$(dirname "$0")" && pwd)
queue=RotametPDF
conf=/etc/cups/cups-pdf.conf
export LC_ALL=C

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

for tool in lpstat pdfinfo; do
  command -v $tool >/dev/null || skip "$tool is missing"
done

server=$(mktemp -d)
marker=$(mktemp)
output=
cleanup() {
  "$here/private-cupsd.sh" stop "$server"
  rm -rf "$server"
  [[ -n $output ]] && rm -f "$output"
  rm -f "$marker"
}
trap cleanup EXIT

"$here/private-cupsd.sh" start "$server" "$queue" >/dev/null
case $? in
0) ;;
77) skip "no private print server here" ;;
*) fail "cannot start a private print server" ;;
esac
export CUPS_SERVER=$server/cups.sock

# Where cups-pdf puts a job of root: the "Out" setting, ${HOME} being root's.
outdir=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' "$conf" 2>/dev/null | tail -1)
outdir=${outdir:-'${HOME}/PDF'}
outdir=${outdir//'${HOME}'/$(getent passwd root | cut -d: -f6)}

# A queue that refuses jobs: the print ends silently (printer error).
cupsreject "$queue" || fail "cannot make $queue refuse jobs"
"$program" "$queue" refused
refused_status=$?
cupsaccept "$queue"
[[ $refused_status -eq 0 ]] || fail "a refused job was not handled as a printer error"

"$program" "$queue" || fail "printing through the default queue failed"

for _ in $(seq 120); do
  output=$(find "$outdir" -maxdepth 1 -name '*.pdf' -newer "$marker" 2>/dev/null | head -1)
  [[ -n $output && -z $(lpstat -o "$queue" 2>/dev/null) ]] && break
  output=
  sleep 0.5
done
[[ -n $output ]] || fail "no PDF from cups-pdf in $outdir within 60 s"

info=$(pdfinfo "$output") || fail "pdfinfo cannot read $output"
echo "$output:"
echo "$info" | grep -E '^(Pages|Page size):'
echo "$info" | grep -qE '^Pages:[[:space:]]+1$' || fail "expected one page"
echo "$info" | grep -q '(A4)' || fail "expected an A4 page"
echo "PASS: the page went through $queue"

ROTAMET_TEST_QUEUE=$queue "$lookup_suite" || fail "the printer lookup against $queue"
# Let the queue finish the suite's page before the server stops.
for _ in $(seq 60); do
  [[ -z $(lpstat -o "$queue" 2>/dev/null) ]] && break
  sleep 0.5
done
echo "PASS: the window looks the printer up on $queue"
