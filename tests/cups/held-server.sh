# Sourced by the scripts that run a suite against a print server that
# answers the printer lookup and holds the page: starts a private print
# server (private-cupsd.sh) with the cups-pdf queue $queue in a new folder
# ($root), behind held-page-proxy.py, which passes IPP through and keeps
# Create-Job, Print-Job and Send-Document silent; exports CUPS_SERVER (the
# proxy), ROTAMET_HELD_QUEUE and ROTAMET_HELD_LOG. Everything goes at the
# script's exit. Exits 77 (a skip) where there is no private print server.
# Before sourcing: cups (this folder), queue; argument: a name for the
# temporary folder.
command -v python3 >/dev/null || { echo "SKIP: python3 is missing"; exit 77; }
root=$(mktemp -d "/tmp/$1.XXXXXX") || exit 1
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
