#!/usr/bin/env bash
# Runs a program under valgrind memcheck: memcheck.sh PROGRAM [ARGS...]
# Fails on any invalid read or write, use of uninitialised memory or
# definitely lost block; the suppressions cover third-party libraries only.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
exec valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
  --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --track-origins=yes --num-callers=30 \
  --suppressions="$here/../../tools/sanitizers/valgrind.supp" \
  "$@"
