#!/usr/bin/env bash
# Builds Vantrel with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release
ctest --preset release
