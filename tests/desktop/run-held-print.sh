#!/usr/bin/env bash
# A print server that answers the printer lookup and holds the page: a
# private print server (tests/cups/private-cupsd.sh) with a cups-pdf queue,
# behind tests/cups/held-page-proxy.py, which passes IPP through and keeps
# Create-Job, Print-Job and Send-Document silent. Runs tst_heldprint on a
# virtual X display with a window manager (run-on-desktop.sh) against it.
# Needs root (cupsd); reports a skip (77) otherwise.
# Usage: run-held-print.sh PATH-TO-tst_heldprint PATH-TO-rotamet
set -uo pipefail
suite=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
cups=$here/../cups
queue=RotametPDF
command -v python3 >/dev/null || { echo "SKIP: python3 is missing"; exit 77; }
root=$(mktemp -d /tmp/rotamet-held.XXXXXX) || exit 1
proxy=
cleanup() {
  [[ -n $proxy ]] && kill "$proxy" 2>/dev/null && wait "$proxy" 2>/dev/null
  CUPS_SERVER=$root/cups.sock cancel -a 2>/dev/null
  "$cups/private-cupsd.sh" stop "$root"
  rm -rf "$root"
}
trap cleanup EXIT
"$cups/private-cupsd.sh" start "$root" "$queue" >/dev/null
case $? in
0) ;;
77) echo "SKIP: no private print server here"; exit 77 ;;
*) echo "FAIL: cannot start a private print server"; exit 1 ;;
esac
python3 "$cups/held-page-proxy.py" "$root/held.sock" "$root/cups.sock" "$root/held.log" &
proxy=$!
for _ in $(seq 100); do [[ -S $root/held.sock ]] && break; sleep 0.1; done
[[ -S $root/held.sock ]] || { echo "FAIL: the proxy does not listen"; exit 1; }
mkdir -p "$root/home"
export CUPS_SERVER=$root/held.sock HOME=$root/home
unset LPDEST PRINTER
export ROTAMET_HELD_QUEUE=$queue ROTAMET_HELD_LOG=$root/held.log ROTAMET_PROGRAM=$program
"$here/run-on-desktop.sh" "$suite"
