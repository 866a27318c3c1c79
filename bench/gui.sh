#!/usr/bin/env bash
# Builds the release program and times the review window on a document of a million elements
# (2000 test locations of 500 drops) and one of ten million (20000 of 500, a PDDX file of 660 MB,
# which takes a few GB of memory): the time until the grid first paints, the memory the window
# takes beyond the document, per element, the moves of the scroll bar from top to bottom, and
# each step of the find bar (not part of CI). VANTREL_GUI_BENCH_SIZES="1" runs the first only.
#   bench/gui.sh           offscreen (no display needed)
#   bench/gui.sh --xvfb    under a real X server: Xvfb with the openbox window manager
#                          (both from scripts/install-deps.sh), started and stopped here
# VANTREL_BUILD_DIR names an already configured build folder to use instead of the release preset.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=offscreen
case "${1:-}" in
  "") ;;
  --xvfb) mode=xvfb ;;
  *) echo "usage: bench/gui.sh [--xvfb]" >&2; exit 2 ;;
esac
build=${VANTREL_BUILD_DIR:-build/release}
[ -n "${VANTREL_BUILD_DIR:-}" ] || cmake --preset release >/dev/null
cmake --build "$build" --target gui_bench
work=$(mktemp -d "${VANTREL_BENCH_DIR:-${TMPDIR:-/tmp}}/vantrel-gui-bench-XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
if [ "$mode" = xvfb ]; then
  # Xvfb picks a free display and writes its number to the descriptor given.
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  exec 3>&-
  [ -s "$work/display" ] || { echo "gui.sh: Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
  openbox >"$work/openbox.log" 2>&1 &
  pids+=($!)
  sleep 1
  platform=xcb
else
  platform=offscreen
fi

# report PAINT MEMORY SCROLL: the figures against these targets (seconds, bytes per element,
# seconds a scroll-bar move); a find-bar step always within half a second.
report() {
  awk -v mode="$mode" -v paint="$1" -v memory="$2" -v scroll="$3" '
    { v[$1] = $2; if ($1 ~ /^filter_step_seconds\[/) steps[++n] = $1 }
    END {
      paint_ok = v["first_paint_seconds"] < paint
      memory_ok = v["window_bytes_per_element"] <= memory
      scroll_ok = v["scroll_step_longest_seconds"] < scroll
      filter_ok = v["filter_step_seconds_max"] < 0.5
      printf "review window (%s): %d elements\n", mode, v["elements"]
      printf "  time to first paint %.3f s (target < %g s)%s\n", v["first_paint_seconds"], paint, paint_ok ? "" : "  MISSED"
      printf "  memory beyond the document %.0f bytes per element (target <= %g)%s\n", v["window_bytes_per_element"], memory, memory_ok ? "" : "  MISSED"
      printf "  (the document itself: %.0f bytes per element)\n", v["document_bytes_per_element"]
      printf "  scroll bar top to bottom in 50 moves: longest %.3f s, mean %.3f s a move (target < %g s)%s\n",
             v["scroll_step_longest_seconds"], v["scroll_step_mean_seconds"], scroll, scroll_ok ? "" : "  MISSED"
      printf "  slowest find-bar step %.3f s (target < 0.5 s)%s\n", v["filter_step_seconds_max"], filter_ok ? "" : "  MISSED"
      for (i = 1; i <= n; ++i) printf "    %-40s %.3f s\n", substr(steps[i], 21, length(steps[i]) - 21), v[steps[i]]
      exit !(paint_ok && memory_ok && scroll_ok && filter_ok)
    }' "$work/figures"
}

status=0
# A million elements: at once to the eye; ten million: no pause a user would call one.
for size in ${VANTREL_GUI_BENCH_SIZES:-1 10}; do
  rm -f "$work/SURVEY.DDX"
  python3 bench/gen_pddx.py "$work/SURVEY.DDX" $((size * 2000)) 500
  QT_QPA_PLATFORM=$platform "$build/gui_bench" "$work/SURVEY.DDX" >"$work/figures"
  if [ "$size" = 1 ]; then report 1 100 0.05 || status=1; else report 3 64 0.5 || status=1; fi
done
exit $status
