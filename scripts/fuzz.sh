#!/usr/bin/env bash
# fuzz.sh FUZZ_BUILD_FOLDER SECONDS
# Runs every fuzz target for SECONDS, seeded with the bundled examples and fuzz/regressions/;
# fails on any finding.
set -euo pipefail
folder=$(realpath "$1")
seconds=$2
root=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for target in "$folder"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$work/$name"
  mkdir -p "$corpus"
  # Seed each target with every example; the readers must survive each other's formats too.
  find "$root/examples" -type f -size -64k -exec cp -t "$corpus" {} + 2>/dev/null || true
  # And with inputs that once broke a target: values longer than the store's first blocks.
  cp -t "$corpus" "$root"/fuzz/regressions/*
  # fuzz_readers takes every input through every reader of the format table: it gets a share of
  # the time for each of them.
  limit=$seconds
  [ "$name" = fuzz_readers ] && limit=$((seconds * 8))
  echo "-- $name"
  (cd "$work" && "$target" -max_total_time="$limit" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" 2>"$work/$name.log") || {
    tail -n 60 "$work/$name.log"
    echo "fuzz target $name found a problem" >&2
    exit 1
  }
  grep -E '^(stat::number_of_executed_units|Done)' "$work/$name.log" || true
done
