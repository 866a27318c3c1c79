#!/usr/bin/env bash
# render-windows.sh OUTPUT_FOLDER
# Builds the desktop program and renders each of its windows, without a display, into
# OUTPUT_FOLDER as PNG files: the main window at 1280x900 with a converted example in a review
# window (as it opens, with its findings; then filling the main window with its plots shown, the
# find bar keeping one test location's rows), the open dialog, the settings window (as it first
# opens, and with the JILS defaults), the instructions, about and acknowledgements windows.
# docs/review-window.png, docs/main-window.png and docs/settings-window.png are three of them.
# VANTREL_BUILD_DIR names an already configured build folder to use instead of the release preset.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 OUTPUT_FOLDER" >&2; exit 2; }
out=$(realpath -m "$1")
cd "$(dirname "$0")/.."
build=${VANTREL_BUILD_DIR:-build/release}
[ -n "${VANTREL_BUILD_DIR:-}" ] || cmake --preset release >/dev/null
cmake --build "$build" --target render_windows
QT_QPA_PLATFORM=offscreen "$build/render_windows" "$out" examples
