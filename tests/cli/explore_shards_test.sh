#!/usr/bin/env bash
# Three shards of one exploration, run through GNU parallel by the cluster
# example and merged, must equal the unsharded output line for line; so must
# shards that run several threads each.
#   explore_shards_test.sh VELNOR_CLI REPOSITORY
set -euo pipefail
cli=$1
repo=$2
data=$repo/tests/data
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

options=(--dfg "$data/dfg/fir.txt" --dfg "$data/dfg/diffeq.txt" --library "$data/lib/library_a.txt"
         --adders "1 2" --multipliers "0 2" --subtractors 1 --comparators 1 --sizes "0 37 300"
         --random-keys 3 --seed 7)
"$cli" explore "${options[@]}" --threads 1 > "$work/whole.jsonl"
VELNOR_CLI=$cli PARALLEL_JOBS=3 "$repo/examples/cluster/explore_parallel.sh" 3 "$work/merged.jsonl" \
  "${options[@]}" --threads 2
# 2 cores x 2 multiplier counts x 3 keys x 3 sizes x 2 adder counts.
lines=$(wc -l < "$work/whole.jsonl")
if [ "$lines" -ne 72 ]; then
  echo "the unsharded exploration printed $lines lines, not 72" >&2
  exit 1
fi
diff -u "$work/whole.jsonl" "$work/merged.jsonl"
