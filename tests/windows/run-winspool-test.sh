#!/usr/bin/env bash
# Runs the Windows spooler suite (tst_winspool) under Wine against a print
# server of its own: a private CUPS scheduler (tests/cups/private-cupsd.sh:
# its own folders and Unix socket, never the system's) with the cups-pdf
# virtual printer as its default queue, and a second cups-pdf queue. Wine's
# spooler reads the queues of the server that CUPS_SERVER names, here for
# this one program only, and offers them to it as Windows printers, the
# default queue as the default printer. Afterwards the PDFs that cups-pdf
# wrote for this server's jobs are removed.
# Needs root and CUPS with cups-pdf; reports a skip (77) otherwise.
# Wine's spooler hangs while it loads when a print server takes connections
# and never answers: such a server is tested on Linux only.
# usage: run-winspool-test.sh EMULATOR SUITE [ARGUMENTS...]
set -uo pipefail
emulator=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
queue=RotametPDF
second=RotametSecondo
conf=/etc/cups/cups-pdf.conf

skip() { echo "SKIP: $*"; exit 77; }
command -v lpstat >/dev/null || skip "lpstat is missing"

root=$(mktemp -d /tmp/rotamet-wincups.XXXXXX) || exit 1
outdir=
first=
cleanup() {
  "$here/../cups/private-cupsd.sh" stop "$root"
  if [[ -n $outdir && -n $first ]]; then
    for ((job = first; job < first + 100; job++)); do
      rm -f "$outdir"/*-job_"$job".pdf
    done
  fi
  rm -rf "$root"
}
trap cleanup EXIT

"$here/../cups/private-cupsd.sh" start "$root" "$queue" >/dev/null
case $? in
0) ;;
77) skip "no private print server here" ;;
*) echo "FAIL: cannot start a private print server"; exit 1 ;;
esac
"$here/../cups/private-cupsd.sh" add "$root" "$second" || { echo "FAIL: cannot add the queue $second"; exit 1; }
first=$(sed -n 's/^NextJobId //p' "$root/cache/job.cache")
# Where cups-pdf puts a job of this user: the "Out" setting, ${HOME} being
# the user's home.
outdir=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' "$conf" 2>/dev/null | tail -1)
outdir=${outdir:-'${HOME}/PDF'}
outdir=${outdir//'${HOME}'/$(getent passwd "$(id -un)" | cut -d: -f6)}
mkdir -p "$outdir"

export CUPS_SERVER=$root/cups.sock ROTAMET_TEST_QUEUE=$queue ROTAMET_TEST_SECOND_QUEUE=$second \
  ROTAMET_TEST_PDF_DIR=$outdir ROTAMET_TEST_FIRST_JOB=$first ROTAMET_TEST_PAGE_LOG=$root/log/page_log
unset LPDEST PRINTER
"$emulator" "$@"
status=$?
# Let the queue finish the suite's pages before the server stops.
for _ in $(seq 60); do
  [[ -z $(lpstat -o 2>/dev/null) ]] && break
  sleep 0.5
done
exit $status
