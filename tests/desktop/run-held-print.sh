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
# shellcheck source=../cups/held-server.sh
source "$cups/held-server.sh" rotamet-held
mkdir -p "$root/home"
export HOME=$root/home
export ROTAMET_PROGRAM=$program
"$here/run-on-desktop.sh" "$suite"
