#!/usr/bin/env bash
# A print server of our own, beside whatever the system runs: cupsd with its
# own ServerRoot, spool, cache and logs in DIR, listening only on the Unix
# socket DIR/cups.sock (no network port), never touching /etc/cups or the
# system's cupsd. Reach it with CUPS_SERVER=DIR/cups.sock.
#
#   private-cupsd.sh start DIR [QUEUE]   start it (DIR must exist) and, with
#                                        QUEUE, add a cups-pdf queue by that
#                                        name as its default; prints the pid
#   private-cupsd.sh add DIR QUEUE       add another cups-pdf queue, not the
#                                        default
#   private-cupsd.sh stop DIR            stop it
# Needs root (cupsd drops to the lp user for its filters). Exit 77 when cupsd
# or cups-pdf is missing or cannot run here.
set -uo pipefail
action=$1
dir=$(cd "$2" && pwd) || exit 2
queue=${3:-}
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

up() { CUPS_SERVER=$dir/cups.sock lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }
# A cups-pdf queue named $1 (lpadmin warns that printer drivers are
# deprecated: expected).
add_queue() {
  [[ -f $ppd && -x /usr/lib/cups/backend/cups-pdf ]] \
    || { echo "cups-pdf is not installed (printer-driver-cups-pdf)" >&2; return 77; }
  CUPS_SERVER=$dir/cups.sock lpadmin -p "$1" -E -v cups-pdf:/ -P "$ppd" 2> >(grep -v -i 'deprecated' >&2)
}

case $action in
stop)
  if [[ -f $dir/cupsd.pid ]]; then
    pid=$(cat "$dir/cupsd.pid")
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    rm -f "$dir/cupsd.pid"
  fi
  exit 0
  ;;
add)
  up || { echo "no print server runs in $dir" >&2; exit 1; }
  add_queue "$queue" || { echo "cannot set up the $queue queue" >&2; exit 1; }
  exit 0
  ;;
start) ;;
*) echo "usage: $0 start|add|stop DIR [QUEUE]" >&2; exit 2 ;;
esac

[[ $(id -u) -eq 0 ]] || { echo "needs root to run cupsd" >&2; exit 77; }
[[ -x /usr/sbin/cupsd ]] || { echo "cupsd is not installed (package cups)" >&2; exit 77; }

mkdir -p "$dir"/{root,spool/tmp,cache,state,log}
chmod 0755 "$dir" "$dir/root"
chown root:lp "$dir/spool" "$dir/spool/tmp" "$dir/cache" "$dir/state"
chmod 0710 "$dir/spool"
chmod 1770 "$dir/spool/tmp"
chmod 0770 "$dir/cache" "$dir/state"
cat >"$dir/root/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
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
# Job numbers of its own, so that cups-pdf, which names its files after the
# job, does not meet a job of another scheduler.
echo "NextJobId $((100000 + $$ % 800000))" >"$dir/cache/job.cache"
cat >"$dir/root/cups-files.conf" <<CONF
ServerRoot $dir/root
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
SystemGroup root
CONF

/usr/sbin/cupsd -f -c "$dir/root/cupsd.conf" -s "$dir/root/cups-files.conf" </dev/null >>"$dir/log/cupsd.out" 2>&1 &
pid=$!
echo "$pid" >"$dir/cupsd.pid"
for _ in $(seq 100); do
  up && break
  kill -0 "$pid" 2>/dev/null || { echo "cupsd cannot run here:" >&2; cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null; rm -f "$dir/cupsd.pid"; exit 77; }
  sleep 0.1
done
up || { echo "cupsd did not answer within 10 s" >&2; "$0" stop "$dir"; exit 1; }

if [[ -n $queue ]]; then
  add_queue "$queue"
  case $? in
  0) ;;
  77) "$0" stop "$dir"; exit 77 ;;
  *) echo "cannot set up the $queue queue" >&2; "$0" stop "$dir"; exit 1 ;;
  esac
  if ! CUPS_SERVER=$dir/cups.sock lpadmin -d "$queue"; then
    echo "cannot make $queue the default queue" >&2
    "$0" stop "$dir"
    exit 1
  fi
fi
echo "$pid"
