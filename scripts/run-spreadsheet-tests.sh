#!/usr/bin/env bash
# Runs every check of tests/spreadsheet/ (each *.sh there, given the build
# folder) and ends with one line per check and PASS or FAIL for them all.
set -uo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
results=()
failed=0
for check in "$here"/tests/spreadsheet/*.sh; do
  name=$(basename "$check" .sh)
  echo "=== $name"
  start=$(date +%s)
  if "$check" "$build"; then
    results+=("pass  $name ($(($(date +%s) - start)) s)")
  else
    results+=("FAIL  $name ($(($(date +%s) - start)) s)")
    failed=1
  fi
done
echo "=== spreadsheet checks"
printf '%s\n' "${results[@]}"
if ((failed)); then
  echo "test-spreadsheet: FAIL"
  exit 1
fi
echo "test-spreadsheet: PASS"
