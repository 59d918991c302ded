#!/usr/bin/env bash
# The Windows build's print against a print server that answers the printer
# lookup and holds the page: a private CUPS scheduler
# (tests/cups/private-cupsd.sh) with a cups-pdf queue as its default, behind
# tests/cups/held-page-proxy.py, which passes IPP through and keeps
# Create-Job, Print-Job and Send-Document silent. Wine's spooler reads the
# queues of the server that CUPS_SERVER names (here the proxy) and hands the
# page to it as it hands any page: the suite (tst_heldprint) checks that the
# print is given up by its deadline, naming the printer.
# Needs root and CUPS with cups-pdf; reports a skip (77) otherwise.
# usage: run-held-winspool.sh EMULATOR SUITE [ARGUMENTS...]
set -uo pipefail
emulator=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
cups=$here/../cups
queue=RotametPDF
command -v python3 >/dev/null || { echo "SKIP: python3 is missing"; exit 77; }
root=$(mktemp -d /tmp/rotamet-winheld.XXXXXX) || exit 1
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
export CUPS_SERVER=$root/held.sock ROTAMET_HELD_QUEUE=$queue ROTAMET_HELD_LOG=$root/held.log
unset LPDEST PRINTER
"$emulator" "$@"
