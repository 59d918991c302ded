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
# shellcheck source=../cups/held-server.sh
source "$cups/held-server.sh" rotamet-winheld
"$emulator" "$@"
