#!/usr/bin/env bash
# test-windows.sh [VANTREL_EXE]
# Builds the Windows command line (the windows-cli preset, mingw-w64) unless VANTREL_EXE names
# one, and converts every bundled example with it under wine, as the golden tests do on Linux:
# each output must equal the expected .DDX byte for byte. Also checks the PATH,CODE form and a
# document written to standard output ("-o -"), whose bytes Windows must not translate.
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
examples=$root/examples

if [ $# -ge 1 ]; then
  exe=$(realpath "$1")
else
  cd "$root"
  cmake --preset windows-cli >/dev/null
  cmake --build --preset windows-cli
  exe=$root/build/windows-cli/vantrel.exe
fi

# Self-contained: no DLL of the compiler's run-time (libstdc++, libgcc, winpthread) is needed.
if x86_64-w64-mingw32-objdump -p "$exe" | grep -iE "DLL Name: *lib(stdc|gcc|winpthread)"; then
  echo "test-windows.sh: $exe needs the compiler's run-time DLLs above" >&2
  exit 1
fi

# Debian's wine64 package puts its loader in /usr/lib/wine; the wine package adds it to PATH.
wine=$(command -v wine64 || command -v wine || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
[ -n "$wine" ] || { echo "test-windows.sh: wine64 is not installed (scripts/install-deps.sh installs it)" >&2; exit 1; }
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One wine server for the whole run instead of one per conversion; it goes with the prefix.
trap '"$wineserver" -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$WINEPREFIX"
"$wineserver" -p
"$wine" "$exe" --version >/dev/null 2>&1 || true  # makes the prefix; its notices are not ours

passed=0
failed=0
# check NAME EXPECTED GOT: one comparison, counted.
check() {
  if cmp -s "$2" "$3"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $1: $(cmp "$2" "$3" 2>&1 | head -n 1)"
  fi
}

# stage FILE FOLDER: copies an input with the fixed time the golden tests give it, since some
# readers take a date from it.
stage() {
  cp "$1" "$2/"
  touch -d "2004-04-07 12:00" "$2/$(basename "$1")"
}

# run FOLDER ARGS...: vantrel.exe in FOLDER; its messages go to FOLDER/err, and to this script's
# error output when it fails (its standard output may be the document).
run() {
  local folder=$1 status=0
  shift
  (cd "$folder" && "$wine" "$exe" "$@" 2>err) || status=$?
  [ "$status" -eq 0 ] || { echo "  vantrel.exe $*: exit $status: $(tr -d '\r' <"$folder/err")" >&2; return 1; }
}

n=0
for folder in "$examples"/*/; do
  type=$(basename "$folder")
  for input in "$folder"*; do
    name=$(basename "$input")
    dir=$work/$((n += 1))
    mkdir -p "$dir"
    settings=none.bag
    if [ "$type" = merge ]; then
      [ "${name##*.}" = merge ] || continue
      args=(merge -o out.DDX)
      while read -r merged path; do
        path=${path%$'\r'}
        [ -n "$merged" ] || continue
        stage "$examples/$path" "$dir"
        args+=(-t "$merged" "$(basename "$path")")
      done <"$input"
      [ ! -f "${input%.merge}.bag" ] || { cp "${input%.merge}.bag" "$dir/settings.bag"; settings=settings.bag; }
    else
      case "$name" in *.expected.DDX | Config.bag | *.md) continue ;; esac
      stage "$input" "$dir"
      args=(convert -t "$type" "$name" -o out.DDX)
      [ ! -f "$folder/Config.bag" ] || { cp "$folder/Config.bag" "$dir/settings.bag"; settings=settings.bag; }
    fi
    run "$dir" --settings "$settings" "${args[@]}" >/dev/null || true
    check "$type/$name" "${input%.*}.expected.DDX" "$dir/out.DDX"
  done
done

# The unattended PATH,CODE form writes root + "cvt.DDX" beside the input and keeps the code.
dir=$work/path-code
mkdir -p "$dir"
stage "$examples/kuab/small.FWD" "$dir"
run "$dir" --settings settings.bag "small.FWD,8" >/dev/null || true
check "PATH,CODE" "$examples/kuab/small.expected.DDX" "$dir/smallcvt.DDX"
grep -q "FileType = 8" "$dir/settings.bag" 2>/dev/null || { failed=$((failed + 1)); echo "FAIL PATH,CODE: FileType 8 not saved"; }

# Standard output carries the document's CR LF line ends untouched.
run "$dir" --settings none.bag convert -t kuab small.FWD -o - >"$dir/stdout.DDX" || true
check "convert -o -" "$examples/kuab/small.expected.DDX" "$dir/stdout.DDX"

# Standard input is read as bytes too, and the type is told by the content as on Linux.
run "$dir" --settings none.bag convert -t pddx - -o stdin.DDX <"$examples/pddx/blank.DDX" || true
check "convert -" "$examples/pddx/blank.expected.DDX" "$dir/stdin.DDX"
run "$dir" --settings none.bag convert small.FWD -o detected.DDX || true
check "convert without -t" "$examples/kuab/small.expected.DDX" "$dir/detected.DDX"

echo "The Windows command line under wine, each example against its expected .DDX:"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
