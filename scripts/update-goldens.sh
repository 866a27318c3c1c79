#!/usr/bin/env bash
# update-goldens.sh [VANTREL]
# Writes every examples/<type>/<name>.expected.DDX (and examples/merge/<name>.expected.DDX) anew
# with the built program, run as tests/GoldenExamplesTest.cpp runs it, then shows what changed.
# VANTREL defaults to build/release/vantrel. Run it after a change of the output that is meant,
# such as a new version number, and read the diff before committing it.
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
vantrel=$(realpath "${1:-$root/build/release/vantrel}")
examples=$root/examples
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The input copied into the work folder under its own name, dated 7 April 2004 at local noon, so
# that the names and dates the readers store do not depend on where and when this runs.
stage() {
  cp "$1" "$work/"
  touch -d "2004-04-07 12:00:00" "$work/$(basename "$1")"
  basename "$1"
}

# Runs the program in the work folder with the settings file given (a missing one: none) and
# keeps its output as the expected one.
keep() {
  local settings=$1 expected=$2
  shift 2
  [ -f "$settings" ] || settings=no-settings-here.bag
  rm -f "$work/out.DDX"
  (cd "$work" && "$vantrel" --settings "$settings" "$@" -o out.DDX >/dev/null 2>err.txt) || { cat "$work/err.txt" >&2; exit 1; }
  cp "$work/out.DDX" "$expected"
}

for folder in "$examples"/*/; do
  type=$(basename "$folder")
  [ "$type" = merge ] && continue
  for input in "$folder"*; do
    name=$(basename "$input")
    case "$name" in *.expected.DDX | Config.bag | *.md) continue ;; esac
    [ -f "$input" ] || continue
    keep "$folder/Config.bag" "$folder/${name%.*}.expected.DDX" convert -t "$type" "$(stage "$input")"
  done
done

for list in "$examples"/merge/*.merge; do
  [ -e "$list" ] || continue
  args=()
  while read -r type input; do
    input=${input%$'\r'}
    [ -n "$type" ] && args+=(-t "$type" "$(stage "$examples/$input")")
  done <"$list"
  keep "${list%.merge}.bag" "${list%.merge}.expected.DDX" merge "${args[@]}"
done

git -C "$root" diff --stat -- examples
