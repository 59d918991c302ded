#!/usr/bin/env bash
# Prints the page from the window through a real print server: a private
# CUPS scheduler started here (its own configuration, spool and logs in a
# temporary folder, listening only on its own Unix socket, reached through
# CUPS_SERVER), with the cups-pdf virtual printer as its default queue. The
# system's print server and /etc/cups are not touched, so other runs can go
# on beside this one.
#  1. the queue refuses jobs: the user is told the page was refused;
#  2. the queue is paused: the user is told the page waits, and it does;
#  3. the queue takes the page: cups-pdf writes one A4 page.
# Each time the window shows the user's inputs afterwards (cupsprint checks).
# cups-pdf re-encodes the text, so the words are checked on the program's own
# PDF output elsewhere, not here.
# Needs root and CUPS with cups-pdf; reports a skip (77) otherwise.
# Usage: run-cups-test.sh PATH-TO-cupsprint
set -uo pipefail
program=$1
queue=RotametPDF
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
conf=/etc/cups/cups-pdf.conf
export LC_ALL=C

skip() { echo "SKIP: $*"; exit 77; }
fail() {
  echo "FAIL: $*"
  [[ -f ${root:-}/log/error_log ]] && tail -n 20 "$root/log/error_log"
  exit 1
}

[[ $(id -u) -eq 0 ]] || skip "needs root to run cupsd and the cups-pdf backend"
[[ -x /usr/sbin/cupsd ]] || skip "cupsd is not installed (package cups)"
[[ -f $ppd && -x /usr/lib/cups/backend/cups-pdf ]] || skip "cups-pdf is not installed (printer-driver-cups-pdf)"
for tool in lpadmin lpstat cupsreject cupsaccept cupsdisable cupsenable cancel pdfinfo; do
  command -v $tool >/dev/null || skip "$tool is missing"
done

root=$(mktemp -d /tmp/rotamet-cups.XXXXXX) || fail "no temporary folder"
# The filters run as the scheduler's user (lp): they must reach the spool.
chmod 755 "$root"
server=
output=
cleanup() {
  if [[ -n $server ]]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  [[ -n $output ]] && rm -f "$output"
  rm -rf "$root"
}
trap cleanup EXIT

mkdir -p "$root"/{etc/ppd,etc/ssl,spool/tmp,cache,state,log,home}
cat >"$root/etc/cups-files.conf" <<CONF
ServerRoot $root/etc
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
Printcap $root/printcap
ServerBin /usr/lib/cups
DataDir /usr/share/cups
CONF
cat >"$root/etc/cupsd.conf" <<CONF
Listen $root/cups.sock
LogLevel warn
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
# Job numbers of their own, so that cups-pdf, which names its files after
# the job, does not meet a job of another scheduler.
echo "NextJobId $((100000 + $$ % 800000))" >"$root/cache/job.cache"

# Every CUPS client below, the program included, talks to this scheduler
# only, with no user or system default queue of its own.
export CUPS_SERVER=$root/cups.sock HOME=$root/home
unset LPDEST PRINTER

/usr/sbin/cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" &
server=$!
scheduler_up() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }
for _ in $(seq 50); do
  scheduler_up && break
  kill -0 "$server" 2>/dev/null || { server=; skip "cupsd cannot run here"; }
  sleep 0.2
done
scheduler_up || fail "the private cupsd did not answer within 10 s"

# lpadmin warns that printer drivers are deprecated: expected.
lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" 2> >(grep -v -i 'deprecated' >&2) \
  || fail "cannot set up the $queue queue"
lpadmin -d "$queue" || fail "cannot make $queue the default queue"

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
"$program" "$queue" || fail "printing through the queue failed"
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
echo "PASS: refused, paused and printed pages through $queue"
