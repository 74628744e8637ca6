#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang into build-fuzz/ (or
# $ZEKO_FUZZ_DIR) and runs each for the given minutes on a scratch copy of its
# corpus tests/fuzz/corpus/<harness>/. New inputs stay in build-fuzz/corpus/,
# crashes land in build-fuzz/findings/<harness>/, each run's log in
# build-fuzz/logs/. Exits non-zero when any harness found something.
#
#   scripts/fuzz.sh [minutes] [harness...]    default: 1 minute, every harness
#   ZEKO_FUZZ_JOBS=2 scripts/fuzz.sh 5        two harnesses at a time
#   ZEKO_FUZZ_KEEP_GOING=1 ...                go on past a crash (libFuzzer's fork
#                                             mode), to collect several findings
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEKO_FUZZ_DIR:-$here/build-fuzz}
jobs=${ZEKO_FUZZ_JOBS:-1}
all=(zip ini hotspot chm message pe)

minutes=1
if [ $# -gt 0 ]; then
  minutes=$1
  shift
fi
[[ $minutes =~ ^[0-9]+$ && $minutes -gt 0 ]] || { echo "fuzz.sh: minutes must be a whole number above 0" >&2; exit 2; }
[[ $jobs =~ ^[0-9]+$ && $jobs -gt 0 ]] || { echo "fuzz.sh: ZEKO_FUZZ_JOBS must be a whole number above 0" >&2; exit 2; }
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=("${all[@]}")
for h in "${harnesses[@]}"; do
  [ -d "$here/tests/fuzz/corpus/$h" ] || { echo "fuzz.sh: no harness '$h' (have: ${all[*]})" >&2; exit 2; }
done

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ not found (scripts/install-deps.sh installs it)" >&2; exit 1; }
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZEKO_FUZZ=ON "${launcher[@]}" >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build "$build" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/logs"

# Crashes, leaks, timeouts and running out of memory; libFuzzer also keeps slow
# inputs there, which are no failure (a busy machine makes them too).
count() {
  find "$1" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l
}

# One harness: its counts go to logs/<harness>.result as "executions seconds findings".
run() {
  local h=$1
  local corpus=$build/corpus/$h findings=$build/findings/$h log=$build/logs/$h.log
  mkdir -p "$corpus" "$findings"
  local seed
  for seed in "$here/tests/fuzz/corpus/$h"/*; do
    [ -e "$corpus/${seed##*/}" ] || cp "$seed" "$corpus/"
  done
  local before status=0 start end
  before=$(count "$findings")
  local mode=()
  if [ -n "${ZEKO_FUZZ_KEEP_GOING:-}" ]; then
    mode=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)
  fi
  start=$(date +%s)
  "$build/fuzz/fuzz_$h" "${mode[@]}" -max_total_time=$((minutes * 60)) -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || status=$?
  end=$(date +%s)
  local executions found
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  # Fork mode prints no final stats; its last progress line counts the runs.
  [ -n "$executions" ] || executions=$(sed -n 's/^#\([0-9]*\):.*/\1/p' "$log" | tail -1)
  found=$(( $(count "$findings") - before ))
  if [ "$found" -eq 0 ] && [ "$status" -ne 0 ]; then
    found=1 # stopped with an error but left no input: see the log
  fi
  echo "${executions:-0} $((end - start)) $found" >"$build/logs/$h.result"
}

echo "fuzzing ${harnesses[*]} for $minutes min each, $jobs at a time"
running=0
for h in "${harnesses[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
  run "$h" &
  running=$((running + 1))
done
wait

failed=0
printf '%-8s %12s %8s  %s\n' harness executions seconds result
for h in "${harnesses[@]}"; do
  read -r executions seconds found <"$build/logs/$h.result"
  if [ "$found" -gt 0 ]; then
    result="$found finding(s) in $build/findings/$h/ (log: $build/logs/$h.log)"
    failed=1
  else
    result="nothing found"
  fi
  printf '%-8s %12s %8s  %s\n' "$h" "$executions" "$seconds" "$result"
done
exit "$failed"
