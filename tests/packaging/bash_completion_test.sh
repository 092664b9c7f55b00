#!/usr/bin/env bash
# Drives the bash completion of velnor-cli as bash does on Tab: a table of
# command lines and what they complete to, then every option of velnor-cli --help.
# Usage: bash_completion_test.sh COMPLETION_SCRIPT VELNOR_CLI
set -euo pipefail
script=$1 cli=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=/dev/null
source "$script"

# Completes the last word of the command line given as words; prints the candidates sorted, one line.
complete_line() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _velnor_cli
  printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd ' '
}

help=$("$cli" --help)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/results" && touch "$scratch/fir.txt"
cd "$scratch"

# name | command line (words separated by ',') | expected candidates
cases=(
  "commands at the start|velnor-cli,|--help --version attack demo explore import run verify"
  "a command by its prefix|velnor-cli,d|demo"
  "options of demo|velnor-cli,demo,--|--datapath --datapath-before --dot --embedding --json --out --record --stamp --svg --verbose --verilog --verilog-before --verilog-stats"
  "the two embeddings|velnor-cli,run,--embedding,|specified strong"
  "options of verify by prefix|velnor-cli,verify,--d|--design --dfg"
  "verify writes no files|velnor-cli,verify,--o|--order"
  "a file or folder for --design|velnor-cli,verify,--design,|fir.txt results"
  "options of run by prefix|velnor-cli,run,--s|--size --stamp --subtractors --svg"
  "options of run after a value|velnor-cli,run,--adders,2,--m|--multipliers"
  "a file for --dfg|velnor-cli,run,--dfg,f|fir.txt"
  "a folder for --out|velnor-cli,demo,--out,|results"
  "nothing for a number|velnor-cli,run,--size,|"
  "options given are not offered again|velnor-cli,demo,--json,--out,results,--d|--datapath --datapath-before --dot"
  "an option given is left out of run's list|velnor-cli,run,--comparators,1,--co|--count"
  "a value with a wildcard is taken literally|velnor-cli,demo,--stamp,*,--|--datapath --datapath-before --dot --embedding --json --out --record --svg --verbose --verilog --verilog-before --verilog-stats"
  "a file for --verilog|velnor-cli,run,--verilog,f|fir.txt"
  "a file for --record|velnor-cli,verify,--record,f|fir.txt"
  "options of verify beside a record|velnor-cli,verify,--r|--record --recovered --rounds"
  "a suspect in hardware|velnor-cli,verify,--v|--vectors --verbose --verilog"
  "options of attack by prefix|velnor-cli,attack,--t|--threads --trials"
  "attack writes no run files|velnor-cli,attack,--o|--order"
  "a number of forged keys|velnor-cli,attack,--keys,|"
  "a file of keys for explore|velnor-cli,explore,--keys,f|fir.txt"
  "a file for attack's plot|velnor-cli,attack,--plot,f|fir.txt"
  "nothing for the fractions|velnor-cli,attack,--fractions,|"
  "options of import|velnor-cli,import,--|--c --clang-arg --dot --function --help --map --out --strict-compare"
  "a file for import's --c|velnor-cli,import,--c,f|fir.txt"
  "no completion for import's --function|velnor-cli,import,--c,k.c,--function,f|"
  "a file for import's --dot|velnor-cli,import,--dot,f|fir.txt"
  "a file, not a folder, for import's --out|velnor-cli,import,--out,|fir.txt results"
  "a file for --map|velnor-cli,import,--dot,a.dot,--map,f|fir.txt"
  "import's options given are not offered again|velnor-cli,import,--strict-compare,--|--c --clang-arg --dot --function --help --map --out"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name line expected <<<"$row"
  IFS=',' read -r -a words <<<"$line,"  # the added ',' keeps an empty last word
  actual=$(complete_line "${words[@]}")
  [ "$actual" = "$expected" ] || fail "$name: completed '$line' to '$actual', expected '$expected'"
done

offered=" $(complete_line velnor-cli '') $(complete_line velnor-cli run --) $(complete_line velnor-cli verify --) $(complete_line velnor-cli explore --) $(complete_line velnor-cli attack --) $(complete_line velnor-cli import --) "
options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
[ -n "$options" ] || fail "velnor-cli --help lists no options"
for option in $options; do
  [[ $offered == *" $option "* ]] || fail "the completion never offers $option"
done
echo "${#cases[@]} command lines complete as expected; every option of --help is offered"
