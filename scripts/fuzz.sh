#!/usr/bin/env bash
# Fuzzes number text and the pump file's reader: builds the libFuzzer targets
# of fuzz/ with clang in build-fuzz/ and runs each for a bounded time, as many
# at once as there are cores, each starting from a copy of its seeds in
# fuzz/corpus/<target>/, with its own dictionary fuzz/<target>.dict when it has
# one and fuzz/numtext.dict otherwise (what a run discovers stays in
# build-fuzz/runs/, never in the repo). Fails when a target finds a crash, a
# sanitizer report, a broken property or a hang; the input that did it is kept
# in build-fuzz/findings/<target>/.
# Usage: scripts/fuzz.sh [seconds-per-target]     (default 60)
#   FUZZ_TARGETS="fuzz_parse_double fuzz_number_text" runs only those.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
jobs=$(nproc)

cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build"

if [[ -n ${FUZZ_TARGETS:-} ]]; then
  read -r -a targets <<<"$FUZZ_TARGETS"
else
  targets=()
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

run() {
  local target=$1
  local work=$build/runs/$target findings=$build/findings/$target
  rm -rf "$work" "$findings"
  mkdir -p "$work/corpus" "$findings"
  cp fuzz/corpus/"$target"/* "$work/corpus/"
  local dict=fuzz/$target.dict
  [[ -f $dict ]] || dict=fuzz/numtext.dict
  local status=0
  "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -dict="$dict" -print_final_stats=1 -artifact_prefix="$findings/" \
    "$work/corpus" >"$work/log" 2>&1 || status=$?
  echo "$status" >"$work/status"
}

echo "fuzz: ${#targets[@]} targets, ${seconds} s each, $jobs at a time"
running=0
for target in "${targets[@]}"; do
  [[ -x $build/$target ]] || { echo "fuzz: no target $target" >&2; exit 1; }
  if ((running == jobs)); then
    wait -n
    running=$((running - 1))
  fi
  run "$target" &
  running=$((running + 1))
done
wait

failed=0
for target in "${targets[@]}"; do
  work=$build/runs/$target
  status=$(cat "$work/status")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  if [[ $status == 0 ]]; then
    echo "fuzz: $target: ${runs:-?} inputs, $(ls "$work/corpus" | wc -l) in the corpus, no finding"
  else
    failed=$((failed + 1))
    echo "fuzz: $target: FAILED (exit $status); the input is in $build/findings/$target/"
    grep -E '^\*\*\*|ERROR|runtime error|SUMMARY|^    #[0-9] ' "$work/log" | head -40 || true
  fi
done
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
((failed == 0))
