#!/usr/bin/env bash
# Prints the page from the window through a real print server: a private
# CUPS scheduler (tests/cups/private-cupsd.sh: its own configuration, spool
# and logs in a temporary folder, listening only on its own Unix socket,
# reached through CUPS_SERVER), with the cups-pdf virtual printer as its
# default queue. The system's print server and /etc/cups are not touched, so
# other runs can go on beside this one.
#  1. the queue refuses jobs: the user is told the page was refused;
#  2. the queue is paused: the user is told the page waits, and it does;
#  3. the queue takes the page: cups-pdf writes one A4 page;
#  4. "Stampa su…": in the print dialog a second queue, not the default, and
#     2 copies: that queue takes one job of two copies of the page;
#  5. the window's printer-lookup suite against the same server.
# Each time the window shows the user's inputs afterwards (cupsprint checks).
# cups-pdf re-encodes the text, so the words are checked on the program's own
# PDF output elsewhere, not here.
# Needs root and CUPS with cups-pdf; reports a skip (77) otherwise.
# Usage: run-cups-test.sh PATH-TO-cupsprint PATH-TO-tst_printerlookup
set -uo pipefail
program=$1
lookup_suite=$2
here=$(cd "$(dirname "$0")" && pwd)
queue=RotametPDF
second=RotametSecondo
conf=/etc/cups/cups-pdf.conf
export LC_ALL=C

skip() { echo "SKIP: $*"; exit 77; }
fail() {
  echo "FAIL: $*"
  [[ -f ${root:-}/log/error_log ]] && tail -n 20 "$root/log/error_log"
  exit 1
}

for tool in lpstat cupsreject cupsaccept cupsdisable cupsenable cancel pdfinfo; do
  command -v $tool >/dev/null || skip "$tool is missing"
done

root=$(mktemp -d /tmp/rotamet-cups.XXXXXX) || fail "no temporary folder"
output=
outdir=
first=
cleanup() {
  "$here/private-cupsd.sh" stop "$root"
  [[ -n $output ]] && rm -f "$output"
  # Every page that cups-pdf wrote for this server's jobs (the lookup suite
  # prints one too), and no other file.
  if [[ -n $outdir && -n $first ]]; then
    for ((job = first; job < first + 100; job++)); do rm -f "$outdir"/*-job_"$job".pdf; done
  fi
  rm -rf "$root"
}
trap cleanup EXIT

"$here/private-cupsd.sh" start "$root" "$queue" >/dev/null
case $? in
0) ;;
77) skip "no private print server here" ;;
*) fail "cannot start a private print server" ;;
esac
first=$(sed -n 's/^NextJobId //p' "$root/cache/job.cache")

# Every CUPS client below, the program included, talks to this scheduler
# only, with no user or system default queue of its own.
mkdir -p "$root/home"
export CUPS_SERVER=$root/cups.sock HOME=$root/home
unset LPDEST PRINTER

# 1. A queue that refuses jobs.
cupsreject "$queue" || fail "cannot make $queue refuse jobs"
"$program" "$queue" refused || fail "a refused page was not told as such"
[[ -z $(lpstat -o "$queue") ]] || fail "a refused page is in the queue"
cupsaccept "$queue"

# 2. A paused queue: the page is handed over and waits there.
cupsdisable "$queue" || fail "cannot pause $queue"
"$program" "$queue" paused || fail "a page held by a paused queue was not told as such"
[[ $(lpstat -o "$queue" | wc -l) -eq 1 ]] || fail "the paused queue does not hold the page"
cancel -a "$queue"
cupsenable "$queue"

# 3. The queue takes the page. Where cups-pdf puts a job of root: the "Out"
# setting, ${HOME} being root's.
outdir=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' "$conf" 2>/dev/null | tail -1)
outdir=${outdir:-'${HOME}/PDF'}
outdir=${outdir//'${HOME}'/$(getent passwd root | cut -d: -f6)}
marker=$root/marker
touch "$marker"
# The PDF cups-pdf wrote after the marker, once the queue ($1) holds no job;
# empty after 60 s.
printed_pdf() {
  local found
  for _ in $(seq 120); do
    found=$(find "$outdir" -maxdepth 1 -name '*.pdf' -newer "$marker" 2>/dev/null | head -1)
    [[ -n $found && -z $(lpstat -o "$1" 2>/dev/null) ]] && { echo "$found"; return; }
    sleep 0.5
  done
}
"$program" "$queue" || fail "printing through the queue failed"
output=$(printed_pdf "$queue")
[[ -n $output ]] || fail "no PDF from cups-pdf in $outdir within 60 s"

check_page() {
  local info
  info=$(pdfinfo "$1") || fail "pdfinfo cannot read $1"
  echo "$1:"
  echo "$info" | grep -E '^(Pages|Page size):'
  echo "$info" | grep -qE '^Pages:[[:space:]]+1$' || fail "expected one page"
  echo "$info" | grep -q '(A4)' || fail "expected an A4 page"
}
check_page "$output"
echo "PASS: refused, paused and printed pages through $queue"

# 4. A second queue chosen in the print dialog, with 2 copies. cups-pdf
# writes the page once; the server's page log counts the copies ("total 2").
"$here/private-cupsd.sh" add "$root" "$second" || fail "cannot add the queue $second"
rm -f "$output"
output=
touch "$marker"
"$program" "$queue" chosen "$second" || fail "printing on $second through the print dialog failed"
output=$(printed_pdf "$second")
[[ -n $output ]] || fail "no PDF from $second in $outdir within 60 s"
check_page "$output"
[[ $(find "$outdir" -maxdepth 1 -name '*.pdf' -newer "$marker" | wc -l) -eq 1 ]] || fail "more than one page was printed"
for _ in $(seq 60); do
  tail -n 1 "$root/log/page_log" 2>/dev/null | grep -qE "^$second [^ ]+ [0-9]+ .* total 2 " && break
  sleep 0.5
done
tail -n 1 "$root/log/page_log" | grep -E "^$second [^ ]+ [0-9]+ .* total 2 " || fail "$second did not print 2 copies"
echo "PASS: a page in 2 copies on $second, chosen in the print dialog"

# 5. The window's printer lookup against this server.
ROTAMET_TEST_QUEUE=$queue "$lookup_suite" || fail "the printer lookup against $queue"
# Let the queue finish the suite's page before the server stops.
for _ in $(seq 60); do
  [[ -z $(lpstat -o "$queue" 2>/dev/null) ]] && break
  sleep 0.5
done
echo "PASS: the window looks the printer up on $queue"
