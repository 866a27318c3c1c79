#!/usr/bin/env bash
# convert-examples.sh VANTREL OUTPUT_FOLDER
# Converts every example input (examples/<type>/<name>.<ext>) with the reader of its folder's
# type, and every merge list (examples/merge/<name>.merge), into OUTPUT_FOLDER/<type>/, printing
# where each output went.
set -euo pipefail
vantrel=$(realpath "$1")
out=$(realpath -m "$2")
examples=$(realpath "$(dirname "$0")/../examples")

settings_for() { if [ -f "$1" ]; then echo "$1"; else echo "$out/no-settings.bag"; fi; }

for folder in "$examples"/*/; do
  type=$(basename "$folder")
  [ "$type" = merge ] && continue
  mkdir -p "$out/$type"
  for input in "$folder"*; do
    name=$(basename "$input")
    case "$name" in *.expected.DDX|Config.bag|*.md) continue ;; esac
    # Converted in the output folder, so the file names stored in the documents carry no folder.
    cp "$input" "$out/$type/$name"
    output="${name%.*}.DDX"
    [ "$output" != "$name" ] || output="${name%.*}-converted.DDX"  # a PDDX input is not replaced
    (cd "$out/$type" && "$vantrel" --settings "$(settings_for "$folder/Config.bag")" convert -t "$type" "$name" -o "$output" >/dev/null)
    echo "$type/$name -> $out/$type/$output"
  done
done

if [ -d "$examples/merge" ]; then
  mkdir -p "$out/merge"
  for list in "$examples"/merge/*.merge; do
    [ -e "$list" ] || continue
    name=$(basename "$list" .merge)
    args=()
    while read -r type input; do
      input=${input%$'\r'}  # the lists may have CR LF line ends
      [ -n "$type" ] || continue
      cp "$examples/$input" "$out/merge/"
      args+=(-t "$type" "$(basename "$input")")
    done <"$list"
    (cd "$out/merge" && "$vantrel" --settings "$(settings_for "$examples/merge/$name.bag")" merge -o "$name.DDX" "${args[@]}" >/dev/null)
    echo "merge/$name -> $out/merge/$name.DDX"
  done
fi
