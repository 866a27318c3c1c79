#!/usr/bin/env bash
# CompletionCheck.sh VANTREL COMPLETION_SCRIPT
# Completes command lines with the bash completion of vantrel, as a tab would, and checks the
# words offered: subcommands, options before and after a subcommand, file types, PATH,CODE
# codes and files.
set -o pipefail
vantrel=$(realpath "$1")
source /usr/share/bash-completion/bash_completion || { echo "bash-completion is not installed" >&2; exit 1; }
source "$2"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
touch run1.FWD run2.FWD notes.txt
failed=0

# offers "WORDS BEFORE THE CURSOR" "EXPECTED..." [-- "NOT EXPECTED..."]
offers() {
  local line=$1
  shift
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_WORDS[0]=$vantrel
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="$vantrel ${line#* }"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _vantrel
  local got=" ${COMPREPLY[*]} " want=1 word
  for word in "$@"; do
    if [[ $word == -- ]]; then
      want=0
    elif [[ ($want == 1 && $got != *" $word "*) || ($want == 0 && $got == *" $word "*) ]]; then
      echo "FAIL: '$line' offers [${COMPREPLY[*]}]; $([[ $want == 1 ]] && echo missing || echo unwanted) $word"
      failed=1
    fi
  done
}

offers "vantrel " convert merge batch blank help run1.FWD
offers "vantrel con" convert -- merge run1.FWD
offers "vantrel --" --help --version --settings --set --paths -- --type
offers "vantrel convert -" -t --type -o --output --help -- --settings
offers "vantrel merge -o out.DDX -" -t --type -- --settings
offers "vantrel convert -t " 8 kuab kuab-ini f25 jils-dat pddx auto -- jils-thy 11 5
offers "vantrel " detect check export
offers "vantrel check -" --format -t -- -o
offers "vantrel convert --type=ku" kuab kuab-ini -- f25
offers "vantrel --settings my.bag convert -t kuab r" run1.FWD run2.FWD -- notes.txt convert
offers "vantrel --settings n" notes.txt -- convert
offers "vantrel --set " -- run1.FWD convert
offers "vantrel run1.FWD," run1.FWD,8 run1.FWD,10 run1.FWD,0 -- run1.FWD,11 run1.FWD,5
offers "vantrel help " convert merge batch blank -- run1.FWD

[[ $failed == 0 ]] && echo "bash completion: subcommands, options, types and files offered as expected"
exit $failed
