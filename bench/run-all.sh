#!/usr/bin/env bash
# Builds the benchmarks in Release, runs them all offscreen and prints one
# table of medians with the machine they ran on. See docs/benchmarks.md.
#
#   bench/run-all.sh                 # the whole table
#   REPS=31 RUNS=51 bench/run-all.sh # more repetitions / start-up runs
#   BUILD=/tmp/b bench/run-all.sh    # another build folder
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD:-$root/build/bench}
reps=${REPS:-15}      # repetitions of each in-process benchmark
runs=${RUNS:-31}      # start-up runs of each program
xruns=${XRUNS:-9}     # start-ups of each program on Xvfb
min_time=${MIN_TIME:-0.1}

# Benchmark-only packages: the Qt Charts peer, and two desktop calculators
# whose start-up is compared with ours (never needed by the program or tests).
"$root/tools/install-deps.sh" qt6-charts-dev libqt6opengl6-dev libbenchmark-dev jq speedcrunch galculator

cmake -S "$root" --preset bench -B "$build" >/dev/null
cmake --build "$build" -j2 --target window_bench diagram_bench charts_peer_bench presets_bench micset_open_bench startup_phonolith startup_minimal startup_text proc_bench >/dev/null

export QT_QPA_PLATFORM=offscreen
# No session bus is wanted: keeps Qt from starting one and from waiting on it.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
export LC_ALL=C.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# One line per benchmark: "NAME REAL_US CPU_US counter=value ...", medians.
run_bench() {
  local exe=$1 out=$2
  shift 2
  "$build/bench/$exe" "$@" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
    --benchmark_min_time="$min_time" --benchmark_format=json 2>/dev/null >"$work/$exe.json"
  jq -r '.benchmarks[] | select(.aggregate_name == "median")
    | [.run_name, (.real_time | tostring), (.cpu_time | tostring)]
      + [to_entries[] | select(.key | test("paints$|^labels$|^extra_MiB$")) | "\(.key)=\(.value)"]
    | join(" ")' "$work/$exe.json" >>"$out"
}

results=$work/results
: >"$results"
# One unmeasured pass first: right after the build and the package checks
# the first figures came out up to a fifth slower.
"$build/bench/window_bench" --benchmark_min_time=0.05 >/dev/null 2>&1
run_bench window_bench "$results"
run_bench charts_peer_bench "$results"
run_bench presets_bench "$results"
# Each open in a process of its own, so that one file's peak memory does not
# hide the next one's.
for file in letters_1Mi empty_1_4Mi name_4MiB presets_10000 presets_12666; do
  run_bench micset_open_bench "$results" --benchmark_filter="/$file\$"
done
# The diagram alone paints as window_bench measures it: only its other rows.
run_bench diagram_bench "$results" --benchmark_filter=AxisLayout
"$build/bench/proc_bench" --runs "$runs" \
  phonolith="$build/bench/startup_phonolith" minimal="$build/bench/startup_minimal" \
  text="$build/bench/startup_text" >"$work/startup"

# Instructions to the first frame and to the exit (callgrind counts are the
# same from run to run, whatever else the machine does).
instructions() {
  local name=$1 out
  out=$work/cg.$name
  PHONOLITH_BENCH_T0_NS=0 valgrind --tool=callgrind --dump-before='QCoreApplication::quit*' \
    --callgrind-out-file="$out.%p" "$build/bench/startup_$name" >/dev/null 2>&1
  local first total
  first=$(awk '/^summary:/ { print $2 }' "$out".*.1)
  total=$(cat "$out".* | awk '/^summary:/ { s += $2 } END { print s }')
  echo "$name $first $total"
}
: >"$work/instr"
for name in phonolith minimal text; do
  instructions "$name" >>"$work/instr"
  callgrind_annotate --inclusive=yes --threshold=100 "$work/cg.$name".*.1 >"$work/incl.$name" 2>/dev/null
done

# Instructions per step of the two in-process figures a user feels most (an
# edit, a repaint after a range change), and of the range change beside the
# Qt Charts peer: window_bench and charts_peer_bench mark each step for
# callgrind.
counted() { # FILTER EXE MIN_TIME -> "instructions calls" inside the marks
  local out=$work/cg.step calls
  rm -f "$out"
  valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*measuredStep*' --callgrind-out-file="$out" \
    "$build/bench/$2" --benchmark_filter="$1" --benchmark_min_time="$3" >/dev/null 2>&1
  calls=$(callgrind_annotate --inclusive=yes --tree=calling "$out" 2>/dev/null |
    grep -E '^ *[0-9,]+ \([^)]*\)  >   .*measuredStep' | grep -oE '\([0-9,]+x\) \[' | head -n1 | tr -dc '0-9')
  awk -v c="${calls:-0}" '/^summary:/ { print $2, c }' "$out"
}
# Marginal: a run of one step and a longer one, the difference divided by
# the steps between them, so that the first (cold) step does not count.
steps() { # FILTER [EXE] -> instructions per measured step in the steady state
  local one many
  one=$(counted "$1" "${2:-window_bench}" 0)
  many=$(counted "$1" "${2:-window_bench}" 1)
  awk -v a="$one" -v b="$many" 'BEGIN { split(a, x, " "); split(b, y, " ");
    if (y[2] > x[2]) print int((y[1] - x[1]) / (y[2] - x[2])) }'
}
edit_steps=$(steps 'BM_EditEndToEnd$')
chain_steps=$(steps 'BM_EditEndToEndChain$')
chain_all_steps=$(steps 'BM_EditEndToEndChainAll$')
range_steps=$(steps 'BM_DiagramRangeChange$')
peer_ours_steps=$(steps 'BM_RangeChange/ours$' charts_peer_bench)
peer_steps=$(steps 'BM_RangeChange/peer$' charts_peer_bench)

# The desktop calculators and ours side by side on an X server (Xvfb), each
# until it is drawn and idle: CPU time and peak memory.
xvfb_pid=""
trap '[ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
. "$root/tools/xvfb.sh"
xvfb_start "$work"
mkdir -p "$work/home"
QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" NO_AT_BRIDGE=1 \
  "$build/bench/proc_bench" --x11 --runs "$xruns" \
  phonolith="$build/bench/startup_phonolith" minimal="$build/bench/startup_minimal" text="$build/bench/startup_text" \
  speedcrunch=/usr/bin/speedcrunch galculator=/usr/bin/galculator >"$work/x11"

real() { awk -v n="$1" '$1 == n { print $2 }' "$results"; }
cpu() { awk -v n="$1" '$1 == n { print $3 }' "$results"; }
counter() { awk -v n="$1" -v k="$2" '$1 == n { for (i = 4; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == k) print kv[2] } }' "$results"; }
startup() { awk -v n="$1" -v f="$2" '$1 == n { print $f }' "$work/startup"; }
instr() { awk -v n="$1" -v f="$2" '$1 == n { print $f }' "$work/instr"; }
x11() { awk -v n="$1" -v f="$2" '$1 == n { print $f }' "$work/x11"; }
mega() { awk -v v="$1" 'BEGIN { printf "%.1f M", v / 1e6 }'; }
mega2() { awk -v v="$1" 'BEGIN { printf "%.2f M", v / 1e6 }'; }
ms() { awk -v v="$1" 'BEGIN { printf "%.3f ms", v / 1000 }'; }
# A time the benchmark reports in milliseconds; a size in MiB.
msv() { awk -v v="$1" 'BEGIN { printf "%.1f ms", v }'; }
mib() { awk -v v="$1" 'BEGIN { printf "%.1f MiB", v }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

row() { printf '| %s | %s | %s | %s | %s | %s |\n' "$@"; }
# One edit end to end, wall and CPU time, against a frame at 60 Hz.
edit_row() { # LABEL BENCHMARK
  row "$1" "$(ms "$(real "$2")")" "$(ms "$(cpu "$2")")" "frame 16.700 ms" "$(ratio "$(real "$2")" 16700)" "<= 1 ms"
}

cpu_model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
qt_version=$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)

echo "Phonolith benchmarks, $(date -u +%Y-%m-%d) - ${cpu_model:-unknown CPU}, $(nproc) CPUs,"
echo "Qt ${qt_version}, offscreen, Release; load average at start ${load_before}."
echo "Medians of ${reps} repetitions (in process) and ${runs} runs (start-up)."
echo
row "Figure" "Phonolith (wall)" "Phonolith (CPU)" "Reference (wall)" "Ratio" "Target"
row "---" "---" "---" "---" "---" "---"
edit_row "One edit end to end: key into seMicSens_dBu, write-backs, repaint until idle" BM_EditEndToEnd
row "Paints per edit: diagram / result line / level bar / window" \
  "$(counter BM_EditEndToEnd chart_paints) / $(counter BM_EditEndToEnd line_paints) / $(counter BM_EditEndToEnd bar_paints) / $(counter BM_EditEndToEnd window_paints)" \
  "" "" "" "1 each"
row "Instructions per edit end to end (callgrind)" "$(mega2 "$edit_steps")" "" "" "" ""
edit_row "One edit end to end in chain mode (--chain as it opens: chain lines, warning line)" BM_EditEndToEndChain
edit_row "One edit end to end in chain mode with everything drawn (0.5 m, three thresholds)" BM_EditEndToEndChainAll
row "Paints per edit in chain mode: diagram / result line / warning line / level bar / window" \
  "$(counter BM_EditEndToEndChainAll chart_paints) / $(counter BM_EditEndToEndChainAll line_paints) / $(counter BM_EditEndToEndChainAll warning_paints) / $(counter BM_EditEndToEndChainAll bar_paints) / $(counter BM_EditEndToEndChainAll window_paints)" \
  "" "" "" "1 each"
row "Instructions per edit in chain mode, as it opens / with everything drawn (callgrind)" \
  "$(mega2 "$chain_steps") / $(mega2 "$chain_all_steps")" "" "" "" ""
row "Change operation alone (seMicMaxLevel_dBSPLChange, no paint)" \
  "$(ms "$(real BM_ChangeOperation)")" "$(ms "$(cpu BM_ChangeOperation)")" "" "" ""
row "Diagram paint 980x448, analog" \
  "$(ms "$(real BM_DiagramPaint/analog)")" "$(ms "$(cpu BM_DiagramPaint/analog)")" "" "" ""
row "Diagram paint 980x448, digital" \
  "$(ms "$(real BM_DiagramPaint/digital)")" "$(ms "$(cpu BM_DiagramPaint/digital)")" "" "" ""
row "Axis layout, worst case: the slow fuzz_axis input (labels laid out)" \
  "$(ms "$(real BM_AxisLayoutWorstCase)")" "$(ms "$(cpu BM_AxisLayoutWorstCase)")" \
  "frame 16.700 ms" "$(ratio "$(real BM_AxisLayoutWorstCase)" 16700) ($(counter BM_AxisLayoutWorstCase labels) labels)" "< 1 frame"
row "Diagram repaint after a right-axis range change (window's chart)" \
  "$(ms "$(real BM_DiagramRangeChange)")" "$(ms "$(cpu BM_DiagramRangeChange)")" "" "" "<= 0.5 ms"
row "Instructions per range change and repaint (callgrind)" "$(mega2 "$range_steps")" "" "" "" ""
row "Diagram paint vs Qt Charts peer (paint into image)" \
  "$(ms "$(real BM_Paint/ours)")" "$(ms "$(cpu BM_Paint/ours)")" "$(ms "$(real BM_Paint/peer)")" \
  "$(ratio "$(real BM_Paint/peer)" "$(real BM_Paint/ours)") x faster" ""
row "Range change + repaint vs Qt Charts peer (into image)" \
  "$(ms "$(real BM_RangeChange/ours)")" "$(ms "$(cpu BM_RangeChange/ours)")" "$(ms "$(real BM_RangeChange/peer)")" \
  "$(ratio "$(real BM_RangeChange/peer)" "$(real BM_RangeChange/ours)") x faster" ">= 10 x faster"
row "Instructions per range change + repaint vs Qt Charts peer (callgrind; the peer's thread pool waits are not instructions)" \
  "$(mega2 "$peer_ours_steps")" "" "$(mega2 "$peer_steps")" "$(ratio "$peer_steps" "$peer_ours_steps") x fewer" ""
row "Range change + repaint vs peer (shown windows, event loop)" \
  "$(ms "$(real BM_RangeLoop/ours)")" "$(ms "$(cpu BM_RangeLoop/ours)")" "$(ms "$(real BM_RangeLoop/peer)")" \
  "$(ratio "$(real BM_RangeLoop/peer)" "$(real BM_RangeLoop/ours)") x faster" ""
row "Result line paint (TMarkupLabel)" \
  "$(ms "$(real BM_ResultLinePaint)")" "$(ms "$(cpu BM_ResultLinePaint)")" "" "" ""
row "Level bar paint (TLevelBar)" \
  "$(ms "$(real BM_LevelBarPaint)")" "$(ms "$(cpu BM_LevelBarPaint)")" "" "" ""
row "Preset load, 4 MiB mic-set file: one preset with a 4 MiB section name" \
  "$(ms "$(real BM_LoadPreset/name_4MiB)")" "$(ms "$(cpu BM_LoadPreset/name_4MiB)")" "" "" ""
row "Preset load, 4 MiB mic-set file: 10,000 presets of twenty keys (the most the list shows) and a comment, the last one" \
  "$(ms "$(real BM_LoadPreset/presets_4MiB)")" "$(ms "$(cpu BM_LoadPreset/presets_4MiB)")" "" "" ""
for file in "letters_1Mi:1,048,576 one-letter sections (not listed: more than 10,000)" \
            "empty_1_4Mi:1,398,101 empty names (not listed)" \
            "name_4MiB:one section with a 4 MiB name" \
            "presets_10000:10,000 presets of twenty keys (the most the list shows)" \
            "presets_12666:12,666 presets of twenty keys (not listed)"; do
  name=BM_OpenMicSetFile/${file%%:*}
  row "Open a 4 MiB mic-set file through the window (list, first load, idle): ${file#*:}; peak memory added" \
    "$(msv "$(real "$name")") / $(mib "$(counter "$name" extra_MiB)")" "$(msv "$(cpu "$name")")" "" "" \
    "<= 300 ms / <= 64 MiB"
done
row "Start-up to first painted frame vs empty Qt window" \
  "$(startup phonolith 2) ms" "" "$(startup minimal 2) ms" \
  "$(ratio "$(startup phonolith 2)" "$(startup minimal 2)") x" "<= 1.5 x"
row "Start-up, whole process (to exit) vs empty Qt window" \
  "$(startup phonolith 3) ms" "" "$(startup minimal 3) ms" \
  "$(ratio "$(startup phonolith 3)" "$(startup minimal 3)") x" ""
row "Peak RSS vs empty Qt window" \
  "$(startup phonolith 4) KiB" "" "$(startup minimal 4) KiB" \
  "$(ratio "$(startup phonolith 4)" "$(startup minimal 4)") x" "<= 1.2 x"
row "Instructions to first frame vs empty Qt window (callgrind)" \
  "$(mega "$(instr phonolith 2)")" "" "$(mega "$(instr minimal 2)")" \
  "$(ratio "$(instr phonolith 2)" "$(instr minimal 2)") x" "<= 1.5 x"
row "Instructions to exit vs empty Qt window (callgrind)" \
  "$(mega "$(instr phonolith 3)")" "" "$(mega "$(instr minimal 3)")" \
  "$(ratio "$(instr phonolith 3)" "$(instr minimal 3)") x" "<= 1.4 x"
row "Text floor (the first frame's texts, same faces, one plain widget) vs empty window: first frame / instructions / peak RSS" \
  "$(startup text 2) ms / $(mega "$(instr text 2)") / $(startup text 4) KiB" "" \
  "$(startup minimal 2) ms / $(mega "$(instr minimal 2)") / $(startup minimal 4) KiB" \
  "$(ratio "$(startup text 2)" "$(startup minimal 2)") x / $(ratio "$(instr text 2)" "$(instr minimal 2)") x / $(ratio "$(startup text 4)" "$(startup minimal 4)") x" ""
row "Phonolith vs the text floor: first frame / instructions / peak RSS" \
  "$(startup phonolith 2) ms / $(mega "$(instr phonolith 2)") / $(startup phonolith 4) KiB" "" \
  "$(startup text 2) ms / $(mega "$(instr text 2)") / $(startup text 4) KiB" \
  "$(ratio "$(startup phonolith 2)" "$(startup text 2)") x / $(ratio "$(instr phonolith 2)" "$(instr text 2)") x / $(ratio "$(startup phonolith 4)" "$(startup text 4)") x" "instructions <= 1.3 x, peak RSS <= 1.1 x"
echo
echo "Where the instructions to the first frame go (callgrind, inclusive; the rows overlap:"
echo "font engines, shaping and glyphs fall inside the window, paint and diagram rows)."
echo
# Inclusive instructions of the first function whose name contains $2.
incl() { awk -v pat="$2" 'index($0, pat) { gsub(",", "", $1); print $1; exit }' "$work/incl.$1"; }
sum() { awk '{ s += ($1 == "" ? 0 : $1) } END { print s + 0 }'; }
cost() { # NAME PATTERN...
  local name=$1
  shift
  for pat in "$@"; do incl "$name" "$pat"; echo; done | sum
}
share() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f %%", 100 * a / b; else print "-" }'; }
excess=$(($(instr phonolith 2) - $(instr minimal 2)))
row4() { printf '| %s | %s | %s | %s | %s |\n' "$@"; }
row4 "Cost" "Phonolith" "Text floor" "Empty window" "Phonolith beyond the empty window (share of ${excess} instructions)"
row4 "---" "---" "---" "---" "---"
brow() { # LABEL PATTERN...
  local label=$1
  shift
  local p t m
  p=$(cost phonolith "$@")
  t=$(cost text "$@")
  m=$(cost minimal "$@")
  row4 "$label" "$(mega "$p")" "$(mega "$t")" "$(mega "$m")" "$(mega $((p - m))) ($(share $((p - m)) "$excess"))"
}
before_main() { echo $(($(instr "$1" 2) - $(incl "$1" "???:main ["))); }
bp=$(before_main phonolith)
bm=$(before_main minimal)
row4 "Loading and linking the libraries (before main)" "$(mega "$bp")" "$(mega "$(before_main text)")" "$(mega "$bm")" \
  "$(mega $((bp - bm))) ($(share $((bp - bm)) "$excess"))"
brow "Font discovery (fontconfig: configuration and font list)" "QFontDatabasePrivate::ensureFontDatabase()"
brow "Font registration (the two Tahoma files)" "QFontDatabase::addApplicationFont("
brow "First use of each face (matching, font engine)" "QFontDatabasePrivate::findFont("
brow "Shaping and glyph advances (measuring and drawing text)" "QTextEngine::shapeText("
brow "Glyph caches (rasterising glyphs, drawing them)" "QRasterPaintEngine::drawCachedGlyphs("
brow "Making the window and its controls" "TfmMain::TfmMain(" "QMainWindow::QMainWindow("
brow "Showing the controls" "QWidget::show()"
brow "First paint of the whole window" "QWidgetRepaintManager::paintAndFlush()"
brow "  of it the diagram" "TScaleChart::paintEvent("
brow "  of it the hatched zones (hatch brushes)" "TLevelDiagram::DrawNoiseZone(" "TLevelDiagram::DrawOverMaxZone("
brow "Backing store (made, sized, flushed)" "QBackingStore::resize(" "QWidgetRepaintManager::flush()"
brow "Accessibility (events of the controls, no reader attached)" "QAccessible::updateAccessibility("
echo
echo "On Xvfb (xcb), ${xruns} start-ups each, until drawn and idle: CPU time and peak RSS, medians."
echo
row2() { printf '| %s | %s | %s | %s |\n' "$@"; }
row2 "Program" "CPU to first frame" "Peak RSS" "vs Phonolith (CPU / RSS)"
row2 "---" "---" "---" "---"
xrow() {
  row2 "$2" "$(x11 "$1" 2) ms" "$(x11 "$1" 3) KiB" \
    "$(ratio "$(x11 "$1" 2)" "$(x11 phonolith 2)") x / $(ratio "$(x11 "$1" 3)" "$(x11 phonolith 3)") x"
}
xrow phonolith "Phonolith (Release)"
xrow minimal "Empty Qt 6 window (the toolkit's floor)"
xrow text "Text floor (the first frame's texts)"
xrow speedcrunch "SpeedCrunch $(dpkg-query -W -f='${Version}' speedcrunch 2>/dev/null) (Qt 5 desktop calculator)"
xrow galculator "galculator $(dpkg-query -W -f='${Version}' galculator 2>/dev/null) (GTK desktop calculator)"
echo
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)."
