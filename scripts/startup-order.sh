#!/usr/bin/env bash
# Writes app/startup-order.txt: the code sections of the functions that
# Rotamet's start-up runs, up to its first window on the screen, sorted by
# name so that a new list shows what changed. The link lays these out together at the front of the
# program's code (ROTAMET_STARTUP_ORDER in CMakeLists.txt), every other
# function after them. Run it again when start-up changes much (then rebuild).
# It starts bench/startup_rotamet of BUILD-DIR once under valgrind's callgrind
# (offscreen, no print server): the names come out as the compiler wrote them.
# Usage: scripts/startup-order.sh [BUILD-DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
exe=$build/bench/startup_rotamet
[[ -x $exe ]] || { echo "$exe is missing: build first (make build)" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 CUPS_SERVER=$(mktemp -u) \
  valgrind --tool=callgrind --demangle=no --callgrind-out-file="$out" "$exe" >/dev/null 2>&1
python3 - "$out" "$(basename "$exe")" >"$here/app/startup-order.txt" <<'PY'
import re
import sys

profile, program = sys.argv[1], sys.argv[2]
# callgrind names each object and function once in full, then by number.
objects, functions, current, seen = {}, {}, None, set()
for line in open(profile, encoding="utf-8", errors="replace"):
    m = re.match(r"^(c?ob|c?fn)=\((\d+)\)(?: (.*))?$", line.rstrip("\n"))
    if not m:
        continue
    kind, number, name = m.groups()
    table = objects if kind.endswith("ob") else functions
    if name is not None:
        table[number] = name
    if kind == "ob":
        current = table[number]
    elif kind == "fn" and current and current.endswith("/" + program):
        name = re.sub(r"'\d+$", "", table[number])  # recursion marks
        if name.startswith("_Z"):
            seen.add(name)

# Static constructors and main() go in .text.startup.*.
print(".text.startup*")
for name in sorted(seen):
    names = [name]
    # A complete constructor or destructor (C1, D1) is an alias of the base
    # one (C2, D2), whose section carries the name.
    m = re.match(r"^(_ZN.*)([CD])([12])(E.*)$", name)
    if m:
        names = [m.group(1) + m.group(2) + n + m.group(4) for n in ("2", "1")]
    for n in names:
        if n.endswith(".cold"):
            print(".text.unlikely." + n[: -len(".cold")])
        else:
            print(".text." + n)
# Everything else after the start-up functions.
print(".text*")
PY
echo "app/startup-order.txt: $(wc -l <"$here/app/startup-order.txt") sections" >&2
