#!/usr/bin/env bash
# Long fuzz runs: run-long.sh [-r RUNS | -t SECONDS] [-b BUILD] [TARGET...]
# Runs each fuzz target (all of them by default) of the clang build BUILD
# (build/fuzz, as ./test makes it) for RUNS inputs (1,000,000 by default) or
# for SECONDS, seeded, over its seed corpus. New inputs and any crash are
# kept in BUILD/long/TARGET; the last lines of each run give its figures.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$root/build/fuzz
limit=(-runs=1000000)
while getopts "r:t:b:" opt; do
  case $opt in
    r) limit=(-runs="$OPTARG") ;;
    t) limit=(-max_total_time="$OPTARG" -runs=-1) ;;
    b) build=$(cd "$OPTARG" && pwd) ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=()
  for f in "$here"/corpus/*; do targets+=("$(basename "$f")"); done
fi
failed=0
for t in "${targets[@]}"; do
  bin="$build/tests/fuzz/$t"
  [ -x "$bin" ] || { echo "$t: not built in $build (see docs/robustness.md)"; failed=1; continue; }
  log="$build/long/$t.log"
  mkdir -p "$build/long"
  echo "== $t (${limit[*]})"
  if (cd "$build/long" && "$here/run-fuzzer.sh" "$bin" "$here/corpus/$t" "$build/long/$t" "${limit[@]}" \
        -artifact_prefix="$build/long/$t-") >"$log" 2>&1; then
    grep -E "^Done|number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb" "$log" || true
  else
    echo "$t: FAILED, see $log"; tail -n 30 "$log"; failed=1
  fi
done
exit $failed
