#!/usr/bin/env bash
# Runs the shared-procedure-folder test (eight installers at once on one
# procedure folder) many times in a row and prints a summary.
#   scripts/stress.sh [runs]        (default 50)
# BUILD_DIR chooses the build folder (default build; build-asan for the
# sanitizer build). The output of each failed run is kept in
# $BUILD_DIR/stress/run-<n>.log.
set -uo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
runs="${1:-50}"
cmake --build "$build" -j2 --target shared_folder_test >/dev/null || exit 2
logs="$build/stress"
mkdir -p "$logs"
rm -f "$logs"/run-*.log
# Seconds since `$1` (a date +%s.%N stamp), one decimal.
elapsed() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }
passed=0
failed=0
start=$(date +%s.%N)
for ((n = 1; n <= runs; n++)); do
  t0=$(date +%s.%N)
  if "$build/tests/shared_folder_test" >"$logs/run-$n.log" 2>&1; then
    passed=$((passed + 1))
    rm -f "$logs/run-$n.log"
    result=pass
  else
    failed=$((failed + 1))
    result="FAIL (log: $logs/run-$n.log)"
  fi
  printf 'run %3d: %s, %s s\n' "$n" "$result" "$(elapsed "$t0")"
done
total=$(elapsed "$start")
printf '%d runs: %d passed, %d failed; %s s in all, %s s a run\n' \
  "$runs" "$passed" "$failed" "$total" "$(awk -v t="$total" -v n="$runs" 'BEGIN { printf "%.1f", t / n }')"
[ "$failed" -eq 0 ]
