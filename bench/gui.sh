#!/usr/bin/env bash
# Builds the release program and times the review window on a document of a million elements
# (2000 test locations of 500 drops): the time until the grid first paints, and the memory the
# window takes beyond the document, per element, and each step of the find bar on it (not part of
# CI).
# VANTREL_BUILD_DIR names an already configured build folder to use instead of the release preset.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VANTREL_BUILD_DIR:-build/release}
[ -n "${VANTREL_BUILD_DIR:-}" ] || cmake --preset release >/dev/null
cmake --build "$build" --target gui_bench
work=$(mktemp -d "${VANTREL_BENCH_DIR:-${TMPDIR:-/tmp}}/vantrel-gui-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 bench/gen_pddx.py "$work/SURVEY.DDX" 2000 500
QT_QPA_PLATFORM=offscreen "$build/gui_bench" "$work/SURVEY.DDX" >"$work/figures"
awk '
  { v[$1] = $2; if ($1 ~ /^filter_step_seconds\[/) steps[++n] = $1 }
  END {
    paint_ok = v["first_paint_seconds"] < 1
    memory_ok = v["window_bytes_per_element"] < 100
    filter_ok = v["filter_step_seconds_max"] < 0.5
    printf "review window: %d elements\n", v["elements"]
    printf "  time to first paint %.3f s (target < 1 s)%s\n", v["first_paint_seconds"], paint_ok ? "" : "  MISSED"
    printf "  memory beyond the document %.0f bytes per element (target < 100)%s\n", v["window_bytes_per_element"], memory_ok ? "" : "  MISSED"
    printf "  (the document itself: %.0f bytes per element)\n", v["document_bytes_per_element"]
    printf "  slowest find-bar step %.3f s (target < 0.5 s)%s\n", v["filter_step_seconds_max"], filter_ok ? "" : "  MISSED"
    for (i = 1; i <= n; ++i) printf "    %-40s %.3f s\n", substr(steps[i], 21, length(steps[i]) - 21), v[steps[i]]
    exit !(paint_ok && memory_ok && filter_ok)
  }' "$work/figures"
