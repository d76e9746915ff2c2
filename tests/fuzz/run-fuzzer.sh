#!/usr/bin/env bash
# Runs one fuzz target over its seed corpus: run-fuzzer.sh TARGET SEEDS OUT [libFuzzer flags]
# New inputs go to OUT, emptied first, so the seed corpus in the repository
# stays as it is and every run starts from the same inputs. The defaults
# (seed 1, 10 s per input at most) make a run repeatable; later flags win.
# Hangs (an input running past -timeout) and leaks fail the run like crashes.
set -euo pipefail
target=$1 seeds=$2 out=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../../tools/sanitizers/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
rm -rf "$out"
mkdir -p "$out"
# A crash, timeout or leak input is saved beside OUT, as OUT-crash-<hash> etc.
exec "$target" -seed=1 -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$out-" \
  "$@" "$out" "$seeds"
