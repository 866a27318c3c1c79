#!/usr/bin/env bash
# Installs what is missing, builds Vantrel and converts every bundled example into out/examples/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

echo
echo "Converting the bundled examples:"
scripts/convert-examples.sh build/release/vantrel out/examples
