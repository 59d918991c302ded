#!/usr/bin/env bash
# Start-up to the window shown: Rotamet (bench/startup_rotamet) against its
# floor, the same window with no logic (bench/startup_floor), and a bare Qt
# window (bench/startup_minimal); with no print server, and with a private
# print server that has a default queue (tests/cups/private-cupsd.sh: its own
# cupsd, folders and socket, never the system's; needs root, else that half
# is left out). For each: instructions (valgrind's callgrind, all threads),
# wall time and peak memory (/usr/bin/time -v), each the median of RUNS runs
# taken in turns (floor, Rotamet, bare window, floor, ...). Offscreen.
# Prints a Markdown table. With BEFORE-DIR, the build of an earlier commit
# (a git worktree built as usual), its Rotamet is measured in the same turns,
# for the figures before and after a change.
# Usage: bench/startup.sh [BUILD-DIR] [RUNS] [BEFORE-DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
for tool in valgrind /usr/bin/time; do
  command -v $tool >/dev/null || { echo "$tool is missing (scripts/packages.txt)" >&2; exit 1; }
done
programs=(floor rotamet minimal)
declare -A label=([floor]="floor (same window, no logic)" [rotamet]="Rotamet" [minimal]="bare Qt window")
declare -A exe=([floor]=$build/bench/startup_floor [rotamet]=$build/bench/startup_rotamet
                [minimal]=$build/bench/startup_minimal)
if [[ -n ${3:-} ]]; then
  before=$(cd "$3" && pwd)
  programs=(floor before rotamet minimal)
  label[before]="Rotamet before ($(git -C "$before" describe --always 2>/dev/null || echo "$3"))"
  exe[before]=$before/bench/startup_rotamet
fi
for p in "${programs[@]}"; do
  [[ -x ${exe[$p]} ]] || { echo "${exe[$p]} is missing: build it first" >&2; exit 1; }
done

work=$(mktemp -d)
server_dir=
cleanup() {
  [[ -n $server_dir ]] && "$here/../tests/cups/private-cupsd.sh" stop "$server_dir"
  rm -rf "$work"
}
trap cleanup EXIT

median() { sort -n | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

# One run of each kind for program $1 into $work/$2-$1.{ir,ms,kib}.
measure() {
  local out=$work/$2-$1 t0 t1
  t0=$EPOCHREALTIME
  /usr/bin/time -v -o "$out.time" "${exe[$1]}" >/dev/null 2>&1
  t1=$EPOCHREALTIME
  awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.3f\n", (b - a) * 1000}' >>"$out.ms"
  sed -n 's/.*Maximum resident set size (kbytes): //p' "$out.time" >>"$out.kib"
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "${exe[$1]}" 2>&1 >/dev/null \
    | sed -n 's/.*Collected : //p' >>"$out.ir"
}

conditions=()
run_condition() {  # $1 name; CUPS_SERVER already set
  conditions+=("$1")
  for ((i = 0; i < runs; i++)); do
    for p in "${programs[@]}"; do measure "$p" "$1"; done
  done
}

CUPS_SERVER=$work/no-server.sock run_condition none
server_dir=$work/cups
mkdir -p "$server_dir"
if "$here/../tests/cups/private-cupsd.sh" start "$server_dir" RotametPDF >/dev/null; then
  CUPS_SERVER=$server_dir/cups.sock run_condition server
else
  server_dir=
  echo "(no private print server here: that half is left out)" >&2
fi

echo "| Program | Print server | Instructions | Wall time | Peak memory | vs floor (instr. / wall / peak) | vs bare Qt window (instr. / wall / peak) |"
echo "|---|---|---|---|---|---|---|"
for c in "${conditions[@]}"; do
  fi_=$(median <"$work/$c-floor.ir") fm=$(median <"$work/$c-floor.ms") fk=$(median <"$work/$c-floor.kib")
  bi=$(median <"$work/$c-minimal.ir") bm=$(median <"$work/$c-minimal.ms") bk=$(median <"$work/$c-minimal.kib")
  for p in "${programs[@]}"; do
    ir=$(median <"$work/$c-$p.ir") ms=$(median <"$work/$c-$p.ms") kib=$(median <"$work/$c-$p.kib")
    server=$([[ $c == none ]] && echo "none" || echo "local, default queue")
    awk -v l="${label[$p]}" -v s="$server" -v ir="$ir" -v ms="$ms" -v kib="$kib" -v fi="$fi_" -v fm="$fm" -v fk="$fk" \
      -v bi="$bi" -v bm="$bm" -v bk="$bk" \
      'BEGIN {printf "| %s | %s | %.1f M | %.1f ms | %.1f MiB | %.2fx / %.2fx / %.2fx | %.2fx / %.2fx / %.2fx |\n",
              l, s, ir / 1e6, ms, kib / 1024, ir / fi, ms / fm, kib / fk, ir / bi, ms / bm, kib / bk}'
  done
done
echo
echo "Medians of $runs runs each, taken in turns; $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)."
