#!/usr/bin/env bash
# Builds the release program and runs the conversion benchmarks (not part of CI), with inih's
# parse-only pass as the baseline of the PDDX case (libinih-dev, from scripts/install-deps.sh).
# Arguments go to bench.py: the cases to run (pddx, f25, kuab; default all).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target vantrel
mkdir -p build/bench
cc -O2 bench/ini_parse.c $(pkg-config --cflags --libs inih) -o build/bench/ini_parse
python3 bench/bench.py --inih build/bench/ini_parse build/release/vantrel "$@"
