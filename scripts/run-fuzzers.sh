#!/usr/bin/env bash
# Runs each libFuzzer harness of a fuzzing build for a given number of seconds:
# seeds from tests/data and fuzz/seeds, the regression corpus and the formats'
# dictionaries.
# A crash leaves its input in BUILD/crashes/ (add it to fuzz/regressions/<harness>/
# once fixed) and makes this script fail.
# Usage: scripts/run-fuzzers.sh BUILD SECONDS
set -euo pipefail

build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/tests/data

seed() {  # seed HARNESS NAME BYTES...: one seed file
  local folder=$build/seeds/$1
  mkdir -p "$folder"
  printf '%b' "$3" > "$folder/$2"
}

rm -rf "$build/seeds"
for dfg in "$data"/dfg/*.txt; do
  name=$(basename "$dfg" .txt)
  # Four parameter bytes, then the core; and the command line that runs it.
  mkdir -p "$build/seeds/dsp_core_flow" "$build/seeds/command_line"
  { printf '\x01\x01\x00\x10'; cat "$dfg"; } > "$build/seeds/dsp_core_flow/$name"
  { printf 'run\0--dfg\0DFG='; cat "$dfg"; printf '\0--library\0LIB\0--adders\0002\0--multipliers\0002\0'
    printf -- '--subtractors\0001\0--comparators\0001\0--encodings\0003 7\0--order\00010\0--rounds\00080 1 2 3\0--size\00020'
  } > "$build/seeds/command_line/$name"
done
mkdir -p "$build/seeds/module_library"
cp "$data"/lib/*.txt "$build/seeds/module_library/"
seed stego_key one '1\n4\n\n3 7\n0123456789'
seed stego_key three '3\n1 5 9\n011000\n80 1 2 3 4 5\nvelnor'
seed command_line demo 'demo\0--json'
# Small real netlists from Yosys (scripts/netlist-seeds.sh makes them).
mkdir -p "$build/seeds/netlist_json"
cp "$root"/fuzz/seeds/netlist_json/*.json "$build/seeds/netlist_json/"

# The DOT graphs of the import's tests.
mkdir -p "$build/seeds/dot_import"
cp "$data"/dot/*.gv "$build/seeds/dot_import/"

status=0
for harness in dsp_core_flow module_library stego_key command_line netlist_json dot_import; do
  corpus=$build/corpus/$harness
  mkdir -p "$corpus" "$build/crashes"
  # A harness without regressions yet gets an empty folder in their place.
  regressions=$root/fuzz/regressions/$harness
  [ -d "$regressions" ] || { regressions=$build/no-regressions; mkdir -p "$regressions"; }
  echo "== fuzz_$harness for ${seconds}s"
  if ! "$build/fuzz/fuzz_$harness" "$corpus" "$build/seeds/$harness" "$regressions" \
      -dict="$root/fuzz/dicts/$harness.dict" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/crashes/$harness-" -print_final_stats=1 2>"$build/fuzz_$harness.log"; then
    tail -40 "$build/fuzz_$harness.log"
    status=1
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$build/fuzz_$harness.log" || true
done
exit $status
