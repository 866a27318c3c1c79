#!/usr/bin/env bash
# lint.sh [BUILD_FOLDER]
# Fails when a C++ file of ours is not laid out as .clang-format says (tests/.clang-format leaves
# the tests as written), or when clang-tidy finds anything (the checks of .clang-tidy) in src/.
# clang-tidy compiles each file as the build's compile_commands.json says: BUILD_FOLDER, default
# build/release, configured here if it is not.
# Runs as many clang-tidy processes as there are processors; prints a count per check at the end.
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
cd "$root"
build=$(realpath -m "${1:-build/release}")
[ -f "$build/compile_commands.json" ] || cmake --preset release >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

echo "-- clang-format"
find src tests fuzz bench tools -name '*.cpp' -o -name '*.h' -o -name '*.c' | sort >"$work/sources"
if ! xargs clang-format --dry-run --Werror <"$work/sources" 2>"$work/format"; then
  status=1
  # One line per file: how many places differ. `clang-format -i FILE` lays it out.
  grep -o '^[^:]*:[0-9]*:[0-9]*: error' "$work/format" | cut -d: -f1 | uniq -c
  echo "clang-format: $(grep -c ': error' "$work/format") places in $(grep -o '^[^:]*:[0-9]*:[0-9]*: error' "$work/format" | cut -d: -f1 | sort -u | wc -l) files differ"
fi

echo "-- clang-tidy"
grep -o '"file": *"[^"]*"' "$build/compile_commands.json" | sed 's/^"file": *"\(.*\)"$/\1/' |
  grep "^$root/src/" | sort -u >"$work/units" || { echo "no file of src/ in $build/compile_commands.json" >&2; exit 1; }
# Each file's findings into a file of its own, so that parallel runs do not mix their lines; g++'s
# warning options that clang does not know are not findings.
export build work
xargs -P "$(nproc)" -I{} sh -c 'clang-tidy -p "$build" --quiet --warnings-as-errors="*" \
  --extra-arg=-Wno-unknown-warning-option "$1" >"$work/tidy-$(echo "$1" | tr / _)" 2>&1' _ {} <"$work/units" ||
  tidy_failed=1
# A header's findings come once from each file that includes it; headers are named by their place
# in src/ rather than through the layers' include roots.
cat "$work"/tidy-* | sed -E -e "s|[^ ]*/layers/([a-z]+)/\1/|src/\1/|" -e "s|$root/||" >"$work/tidy"
grep -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error): ' "$work/tidy" | sort -u >"$work/findings" || true
if [ -s "$work/findings" ]; then
  status=1
  cat "$work/findings"
  echo "clang-tidy findings per check:"
  sed -E 's/.*\[([^],]+)(,[^]]*)?\]$/\1/' "$work/findings" | sort | uniq -c | sort -rn
fi
if [ -n "${tidy_failed:-}" ] && [ ! -s "$work/findings" ]; then
  status=1
  cat "$work/tidy"  # clang-tidy failed without a finding: its own messages say why
fi
echo "clang-tidy: $(wc -l <"$work/findings") findings in $(wc -l <"$work/units") files of src/"
exit "$status"
