#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each on its
# corpus under AddressSanitizer and UndefinedBehaviorSanitizer, two at a time.
#
#   scripts/fuzz.sh [seconds]      each target for that long (default 60)
#   scripts/fuzz.sh -runs=N        each target for N inputs
#   FUZZ_TARGETS="dose_fuzz ..."   only these targets
#   FUZZ_FLAGS="-max_len=256"      more libFuzzer flags for every target
#
# A crash or a broken invariant fails the script; the input that caused it is
# in build-fuzz/artifacts/<target>/, and the target's log beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

limit="-max_total_time=${1:-60}"
case "${1:-}" in
  -runs=*) limit="$1" ;;
  ''|*[!0-9]*) [ -z "${1:-}" ] || { echo "usage: $0 [seconds | -runs=N]" >&2; exit 2; } ;;
esac

build="$root/build-fuzz"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DORVIK_FUZZ=ON "${launcher[@]}" >/dev/null
targets=${FUZZ_TARGETS:-"catalogue_fuzz procdir_fuzz profile_fuzz media_lists_fuzz dose_fuzz answer_file_fuzz console_command_fuzz"}
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $targets

run_one() {
  local target=$1
  local name=${target%_fuzz}
  local artifacts="$build/artifacts/$target"
  local work="$build/corpus/$target"  # grows as the run finds new paths
  mkdir -p "$artifacts" "$work"
  local extra=()
  # shellcheck disable=SC2206
  [ -n "${FUZZ_FLAGS:-}" ] && extra+=($FUZZ_FLAGS)
  # A catalogue is a few records; larger inputs only slow the search.
  [ "$target" = catalogue_fuzz ] && extra+=(-max_len=2048)
  # The seeds stay as they are in the repository; new inputs go to $work.
  if "$build/fuzz/$target" "$limit" "${extra[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$work" "$root/fuzz/corpus/$name" >"$artifacts/log.txt" 2>&1; then
    printf '%-22s ok   %s runs, %s exec/s\n' "$target" \
      "$(awk '/^stat::number_of_executed_units/ {print $2}' "$artifacts/log.txt")" \
      "$(awk '/^stat::average_exec_per_sec/ {print $2}' "$artifacts/log.txt")"
  else
    printf '%-22s FAIL (see %s)\n' "$target" "$artifacts"
    tail -n 30 "$artifacts/log.txt" >&2
    return 1
  fi
}
export -f run_one
export build root limit

# Two at a time: the machine has two cores.
# shellcheck disable=SC2086
printf '%s\n' $targets | xargs -P 2 -I{} bash -c 'run_one {}'
