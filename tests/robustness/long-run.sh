#!/usr/bin/env bash
# The long robustness run: every fuzz target to COUNT inputs and the random
# user to COUNT events in each locale ("." and ","), each under
# /usr/bin/time, one after the other. Prints one table row per run
# (target, executions, time, peak RSS, outcome) and the random user's RSS at
# its start and end; the table is also written to BUILD_FUZZ/long/table.md.
#
#   tests/robustness/long-run.sh [-n COUNT] [-s] [TARGET...]
#
# COUNT is 1,000,000 by default. It builds what it runs first (the clang
# fuzz build in build/fuzz, random_user in the sanitized build/test, as
# ./test configures them); -s skips the builds. TARGETs limit the run to
# some of the fuzz targets and random_user.C / random_user.de_DE.
# Exits non-zero when any run failed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
count=1000000
build=1
while getopts "n:s" opt; do
  case $opt in
    n) count=$OPTARG ;;
    s) build=0 ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
fuzz=${PHONOLITH_FUZZ_BUILD:-$root/build/fuzz}
test=${PHONOLITH_TEST_BUILD:-$root/build/test}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tools/sanitizers/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

if [ "$build" = 1 ]; then
  cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DPHONOLITH_FUZZ=ON -DPHONOLITH_TESTS=OFF -DPHONOLITH_PARTS="presets;diagram;widgets;ui" >/dev/null &&
    cmake --build "$fuzz" >/dev/null || { echo "long-run: the fuzz build failed"; exit 2; }
  cmake -S "$root" -B "$test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPHONOLITH_TESTS=ON -DPHONOLITH_SANITIZE=ON \
    >/dev/null && cmake --build "$test" --target random_user >/dev/null ||
    { echo "long-run: the random_user build failed"; exit 2; }
fi

runs=("$@")
if [ ${#runs[@]} -eq 0 ]; then
  for f in "$root"/tests/fuzz/corpus/*; do runs+=("$(basename "$f")"); done
  runs+=(random_user.C random_user.de_DE)
fi

out=$fuzz/long
mkdir -p "$out"
table=$out/table.md
{
  echo "| Target | Executions | Time (h:mm:ss) | Peak RSS (MB) | Outcome |"
  echo "|---|---|---|---|---|"
} | tee "$table"

# Wall time and peak RSS from a /usr/bin/time -v report.
timeOf() { sed -n 's/^\s*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$1"; }
rssOf() { awk '/Maximum resident set size/ { printf "%.0f", $NF / 1024 }' "$1"; }

failed=0
for r in "${runs[@]}"; do
  log=$out/$r.log
  times=$out/$r.time
  case $r in
    random_user.*)
      locale=${r#random_user.}
      seed=$([ "$locale" = C ] && echo 7 || echo 8)
      /usr/bin/time -v -o "$times" "$test/tests/robustness/random_user" --seed "$seed" --events "$count" \
        --locale "$locale" --quiet >"$log" 2>&1
      status=$?
      execs=$count
      outcome=ok
      if [ $status -ne 0 ]; then
        execs=$(sed -n 's/.*FAILED at event \([0-9]*\).*/\1/p' "$log" | head -n 1)
        outcome="FAILED ($(grep -m1 -oE 'FAILED at event .*|ERROR: [A-Za-z]+Sanitizer[^ ]*' "$log" | cut -c1-120))"
        failed=1
      fi
      memory=$(sed -n 's/^random_user: at the \(start\|end\): RSS \([0-9]*\) kB (anonymous \([0-9]*\) kB)/\1 \2 \3/p' "$log" |
        awk '{ printf "%s%s %.1f MB (anon %.1f MB)", (NR > 1 ? ", " : ""), $1, $2 / 1024, $3 / 1024 }')
      [ -n "$memory" ] && outcome="$outcome; RSS at $memory"
      ;;
    *)
      bin=$fuzz/tests/fuzz/$r
      if [ ! -x "$bin" ]; then
        echo "| $r | - | - | - | not built in $fuzz |" | tee -a "$table"
        failed=1
        continue
      fi
      (cd "$out" && /usr/bin/time -v -o "$times" "$root/tests/fuzz/run-fuzzer.sh" "$bin" "$root/tests/fuzz/corpus/$r" \
        "$out/$r" -runs="$count" -artifact_prefix="$out/$r-") >"$log" 2>&1
      status=$?
      execs=$(sed -n 's/^stat::number_of_executed_units: //p' "$log" | tail -n 1)
      outcome=ok
      if [ $status -ne 0 ]; then
        outcome="FAILED ($(grep -m1 -oE 'fuzz check failed: .*|ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer)[^*]*|runtime error: .*' "$log" | cut -c1-120))"
        failed=1
      fi
      ;;
  esac
  echo "| $r | ${execs:-?} | $(timeOf "$times") | $(rssOf "$times") | $outcome |" | tee -a "$table"
done
echo "(logs, new inputs and any failing input in $out)"
exit $failed
