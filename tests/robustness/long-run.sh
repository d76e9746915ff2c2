#!/usr/bin/env bash
# The long robustness run: every fuzz target to COUNT inputs and the random
# user to COUNT events in each locale ("." and ","), each under
# /usr/bin/time. Prints one table row per run (target, executions, time,
# peak RSS, outcome) and the random user's RSS at its start and end; the
# table is also written to BUILD_LONG/long/table.md.
#
#   tests/robustness/long-run.sh [-n COUNT] [-j JOBS] [-s] [TARGET...]
#
# COUNT is 1,000,000 by default; JOBS runs (1 by default) go side by side,
# one per core is the most that helps. It builds what it runs first; -s
# skips the builds. TARGETs limit the run to some of the fuzz targets and
# random_user.C / random_user.de_DE. Exits non-zero when any run failed.
#
# The builds, each a folder of its own:
# - build/fuzz-long: the fuzz targets with UBSan only and without comparison
#   tracing, about four times as fast as under ASan. Every input a run keeps
#   (its corpus: one input for each new piece of coverage) and the seeds are
#   then replayed under ASan and LSan in build/fuzz, the fuzz build of ./test.
# - build/long-tests: random_user optimised and without sanitizers, whose
#   heap check reads the allocator's own figures (./test runs it sanitized).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
count=1000000
jobs=1
build=1
while getopts "n:j:s" opt; do
  case $opt in
    n) count=$OPTARG ;;
    j) jobs=$OPTARG ;;
    s) build=0 ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
fuzz=${PHONOLITH_FUZZ_LONG_BUILD:-$root/build/fuzz-long}
asan=${PHONOLITH_FUZZ_BUILD:-$root/build/fuzz}
test=${PHONOLITH_LONG_TEST_BUILD:-$root/build/long-tests}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tools/sanitizers/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

if [ "$build" = 1 ]; then
  fuzzBuild() { # folder, sanitizers, further compiler flags
    cmake -S "$root" --preset fuzz -B "$1" -DPHONOLITH_SANITIZERS="$2" -DCMAKE_CXX_FLAGS="$3" >/dev/null && cmake --build "$1" >/dev/null
  }
  fuzzBuild "$fuzz" undefined,float-cast-overflow -fno-sanitize-coverage=trace-cmp &&
    fuzzBuild "$asan" address,undefined,float-cast-overflow "" ||
    { echo "long-run: a fuzz build failed"; exit 2; }
  cmake -S "$root" --preset memcheck -B "$test" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build "$test" --target random_user >/dev/null ||
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

# Wall time and peak RSS from a /usr/bin/time -v report.
timeOf() { sed -n 's/^\s*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$1"; }
rssOf() { awk '/Maximum resident set size/ { printf "%.0f", $NF / 1024 }' "$1"; }

# One run; writes its table row to $out/$1.row and fails when the run did.
runOne() {
  local r=$1 log=$out/$1.log times=$out/$1.time execs outcome status
  case $r in
    random_user.*)
      local locale=${r#random_user.} seed memory heap
      seed=$([ "$locale" = C ] && echo 7 || echo 8)
      /usr/bin/time -v -o "$times" "$test/tests/robustness/random_user" --seed "$seed" --events "$count" \
        --locale "$locale" --quiet >"$log" 2>&1
      status=$?
      execs=$count
      outcome=ok
      if [ $status -ne 0 ]; then
        execs=$(sed -n 's/.*FAILED at event \([0-9]*\).*/\1/p' "$log" | head -n 1)
        outcome="FAILED ($(grep -m1 -oE 'FAILED (at event|over the run) .*|ERROR: [A-Za-z]+Sanitizer[^ ]*' "$log" |
          cut -c1-160))"
      fi
      heap=$(sed -n 's/.*heap \(-\?[0-9]*\) bytes from event \([0-9]*\) to the end.*/\1 \2/p' "$log" |
        awk '{ printf "heap %+.2f MB from event %s to the end", $1 / 1048576, $2 }')
      [ -n "$heap" ] && outcome="$outcome; $heap"
      memory=$(sed -n 's/^random_user: at the \(start\|end\): RSS \([0-9]*\) kB (anonymous \([0-9]*\) kB)/\1 \2 \3/p' "$log" |
        awk '{ printf "%s%s %.1f MB (anon %.1f MB)", (NR > 1 ? ", " : ""), $1, $2 / 1024, $3 / 1024 }')
      [ -n "$memory" ] && outcome="$outcome; RSS at $memory"
      ;;
    *)
      local bin=$fuzz/tests/fuzz/$r replay kept
      if [ ! -x "$bin" ] || [ ! -x "$asan/tests/fuzz/$r" ]; then
        echo "| $r | - | - | - | not built in $fuzz and $asan |" >"$out/$r.row"
        return 1
      fi
      (cd "$out" && /usr/bin/time -v -o "$times" "$root/tests/fuzz/run-fuzzer.sh" "$bin" "$root/tests/fuzz/corpus/$r" \
        "$out/$r" -runs="$count" -artifact_prefix="$out/$r-") >"$log" 2>&1
      status=$?
      execs=$(sed -n 's/^stat::number_of_executed_units: //p' "$log" | tail -n 1)
      outcome=ok
      if [ $status -ne 0 ]; then
        outcome="FAILED ($(grep -m1 -oE 'fuzz check failed: .*|ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer)[^*]*|runtime error: .*' "$log" | cut -c1-120))"
      else
        # Every kept input and seed once more under ASan and LSan.
        replay=$out/$r.replay.log
        kept=$(($(find "$out/$r" "$root/tests/fuzz/corpus/$r" -type f | wc -l)))
        if (cd "$out" && "$asan/tests/fuzz/$r" -runs=0 -timeout=10 -rss_limit_mb=4096 \
              -artifact_prefix="$out/$r-asan-" "$out/$r" "$root/tests/fuzz/corpus/$r") >"$replay" 2>&1; then
          outcome="ok; $kept kept inputs and seeds replayed under ASan: ok"
        else
          status=1
          outcome="FAILED in the ASan replay of $kept inputs ($(grep -m1 -oE 'fuzz check failed: .*|ERROR: [A-Za-z]+Sanitizer[^*]*|runtime error: .*' "$replay" | cut -c1-120))"
        fi
      fi
      ;;
  esac
  echo "| $r | ${execs:-?} | $(timeOf "$times") | $(rssOf "$times") | $outcome |" >"$out/$r.row"
  cat "$out/$r.row"
  return $status
}

echo "| Target | Executions | Time (h:mm:ss) | Peak RSS (MB) | Outcome |"
echo "|---|---|---|---|---|"
failed=0
running=0
for r in "${runs[@]}"; do
  rm -f "$out/$r.row"
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  runOne "$r" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
{
  echo "| Target | Executions | Time (h:mm:ss) | Peak RSS (MB) | Outcome |"
  echo "|---|---|---|---|---|"
  for r in "${runs[@]}"; do cat "$out/$r.row" 2>/dev/null; done
} >"$table"
echo "(the table in run order: $table; logs, new inputs and any failing input beside it)"
exit $failed
