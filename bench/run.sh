#!/usr/bin/env bash
# Builds the release program and runs the conversion benchmarks (not part of CI), with inih's
# parse-only pass as the baseline of the PDDX case (libinih-dev, from scripts/install-deps.sh).
# Arguments name the cases to run (numbers, pddx, pddx-histories, f25,
# f25-histories, kuab, batch; default all): numbers times the
# number parser on a million numbers, the others go to bench.py.
set -euo pipefail
cd "$(dirname "$0")/.."
cases=()
numbers=$([ $# -eq 0 ] && echo yes || echo no)
for name in "$@"; do
  if [ "$name" = numbers ]; then numbers=yes; else cases+=("$name"); fi
done
cmake --preset release >/dev/null
if [ "$numbers" = yes ]; then
  cmake --build --preset release --target number_bench
  build/release/number_bench
fi
[ $# -eq 0 ] || [ ${#cases[@]} -gt 0 ] || exit 0
cmake --build --preset release --target vantrel
mkdir -p build/bench
cc -O2 bench/ini_parse.c $(pkg-config --cflags --libs inih) -o build/bench/ini_parse
c++ -O2 -shared -fPIC bench/count_throws.cpp -o build/bench/count_throws.so -ldl
python3 bench/bench.py --inih build/bench/ini_parse --throws build/bench/count_throws.so build/release/vantrel "${cases[@]}"
