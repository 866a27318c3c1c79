#!/usr/bin/env bash
# compare_outputs.sh BEFORE AFTER: converts every bundled example, the files of other programs
# beside the checkout (../shared/real-world) where they are, and the benchmark's generated files
# (at a tenth of their size) with two builds of vantrel, and compares what they write byte
# for byte: the document, the messages, and the check and export outputs of each generated file.
# Made for changes that must not change any output (speed work); exits 1 at the first difference
# it lists, after listing them all.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BEFORE_VANTREL AFTER_VANTREL" >&2; exit 2; }
before=$(realpath "$1")
after=$(realpath "$2")
root=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

compared=0
differ=0
# run NAME ARGS...: runs both builds in their own folders with ARGS and compares every file
# they leave there and what they print.
run() {
  local name=$1
  shift
  local side
  for side in before after; do
    rm -rf "$work/$side"
    mkdir -p "$work/$side"
    cp -p "$work"/in/* "$work/$side/"
    local program=$before
    [ "$side" = before ] || program=$after
    (cd "$work/$side" && "$program" --settings none.bag "$@" >stdout 2>stderr; echo "exit $?" >status) || true
  done
  compared=$((compared + 1))
  if ! diff -r "$work/before" "$work/after" >"$work/diff"; then
    differ=$((differ + 1))
    echo "DIFFERENT $name:"
    head -n 20 "$work/diff"
  fi
}

# stage FILE...: the inputs of the next runs, with the fixed time the golden tests give them.
stage() {
  rm -rf "$work/in"
  mkdir -p "$work/in"
  cp "$@" "$work/in/"
  touch -d "2004-04-07 12:00" "$work"/in/*
}

for folder in "$root"/examples/*/; do
  type=$(basename "$folder")
  [ "$type" != merge ] || continue
  for input in "$folder"*; do
    name=$(basename "$input")
    case "$name" in *.expected.DDX | *.bag | *.md) continue ;; esac
    stage "$input"
    run "$type/$name" convert -t "$type" "$name" -o out.DDX
  done
done

# Files other programs wrote, where they are beside the checkout (see the real-world test).
realworld=$root/../shared/real-world
if [ -d "$realworld" ]; then
  for input in "$realworld"/*; do
    name=$(basename "$input")
    case "$name" in LICENSE* | *.md) continue ;; esac
    stage "$input"
    run "real-world/$name" convert "$name" -o out.DDX
    run "real-world/$name (check)" check "$name"
  done
fi

generate() {
  python3 "$root/bench/$1" "$work/gen/$2" "${@:3}"
}
mkdir -p "$work/gen"
generate gen_pddx.py SURVEY.DDX 200 500
generate gen_pddx.py HISTORY.DDX 200 4 124
generate gen_f25.py SURVEY.F25 10
generate gen_f25.py HISTORY.F25 10 --history-per-drop
generate gen_kuab.py SURVEY.FWD 5
for input in "$work"/gen/*; do
  name=$(basename "$input")
  case "$name" in *.DDX) type=pddx ;; *.F25) type=f25 ;; *) type=kuab ;; esac
  stage "$input"
  run "$name" convert -t "$type" "$name" -o out.DDX
  run "$name (detected)" convert "$name" -o out.DDX
  run "$name (check)" check -t "$type" "$name"
  run "$name (export)" export -t "$type" "$name" -o out.csv
done
stage "$work"/gen/*.F25
run "batch" batch -q -t f25 --output-dir out SURVEY.F25 HISTORY.F25

echo "compare_outputs: $compared runs compared, $differ different"
[ "$differ" -eq 0 ]
