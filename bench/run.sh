#!/usr/bin/env bash
# Builds the release program and runs the conversion benchmarks (not part of CI).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target vantrel
python3 bench/bench.py build/release/vantrel "$@"
