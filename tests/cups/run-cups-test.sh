#!/usr/bin/env bash
# Prints the page through CUPS on the cups-pdf virtual printer, set up as the
# default queue, and checks the PDF that comes out: one A4 page. cups-pdf
# re-encodes the text, so the words are checked on the program's own PDF
# output elsewhere, not here.
# Needs root and CUPS with cups-pdf; reports a skip (77) otherwise. Starts
# cupsd when it is not running and stops it again at the end; puts back a
# different default queue that was set before. The RotametPDF queue stays
# defined (defining it again is harmless), so running twice works.
# Usage: run-cups-test.sh PATH-TO-cupsprint
set -uo pipefail
program=$1
queue=RotametPDF
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
conf=/etc/cups/cups-pdf.conf
export LC_ALL=C

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[[ $(id -u) -eq 0 ]] || skip "needs root to run cupsd and the cups-pdf backend"
[[ -x /usr/sbin/cupsd ]] || skip "cupsd is not installed (package cups)"
[[ -f $ppd && -x /usr/lib/cups/backend/cups-pdf ]] || skip "cups-pdf is not installed (printer-driver-cups-pdf)"
for tool in lpadmin lpstat pdfinfo; do
  command -v $tool >/dev/null || skip "$tool is missing"
done

started=
previous_default=
output=
marker=$(mktemp)
cleanup() {
  [[ -n $previous_default && $previous_default != "$queue" ]] && lpadmin -d "$previous_default"
  if [[ -n $started ]]; then
    kill "$started" 2>/dev/null
    wait "$started" 2>/dev/null
  fi
  [[ -n $output ]] && rm -f "$output"
  rm -f "$marker"
}
trap cleanup EXIT

scheduler_up() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }
if ! scheduler_up; then
  /usr/sbin/cupsd -f &
  started=$!
  for _ in $(seq 50); do
    scheduler_up && break
    kill -0 "$started" 2>/dev/null || { started=; skip "cupsd cannot run here"; }
    sleep 0.2
  done
  scheduler_up || fail "cupsd did not answer within 10 s"
fi

previous_default=$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')
# lpadmin warns that printer drivers are deprecated: expected.
lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" 2> >(grep -v -i 'deprecated' >&2) \
  || fail "cannot set up the $queue queue"
lpadmin -d "$queue" || fail "cannot make $queue the default queue"
cancel -a "$queue" 2>/dev/null

# A queue that refuses jobs: the print ends silently (printer error).
cupsreject "$queue" || fail "cannot make $queue refuse jobs"
"$program" "$queue" refused
refused_status=$?
cupsaccept "$queue"
[[ $refused_status -eq 0 ]] || fail "a refused job was not handled as a printer error"

# Where cups-pdf puts a job of root: the "Out" setting, ${HOME} being root's.
outdir=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' "$conf" 2>/dev/null | tail -1)
outdir=${outdir:-'${HOME}/PDF'}
outdir=${outdir//'${HOME}'/$(getent passwd root | cut -d: -f6)}

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
