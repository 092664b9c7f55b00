#!/usr/bin/env bash
# Merges the outputs of the shards 1/N .. N/N of one `velnor-cli explore` into
# the unsharded output: shard K holds the combinations K-1, K-1+N, K-1+2N, ...
# in order, so taking one line from each shard in turn restores the order.
#
#   merge_shards.sh [--csv] SHARD_1_OUTPUT ... SHARD_N_OUTPUT > merged
#
# Give the files in shard order. With --csv each shard starts with the CSV
# header; the merged output has it once.
set -euo pipefail

header=0
if [ "${1:-}" = "--csv" ]; then
  header=1
  shift
fi
if [ $# -eq 0 ]; then
  echo "usage: merge_shards.sh [--csv] SHARD_1_OUTPUT ... SHARD_N_OUTPUT" >&2
  exit 2
fi

awk -v header="$header" '
BEGIN {
  n = ARGC - 1
  for (i = 1; i <= n; i++) file[i] = ARGV[i]
  ARGC = 1
  if (header) {
    for (i = 1; i <= n; i++) {
      if ((getline line < file[i]) > 0 && i == 1) print line
    }
  }
  # Shards are never longer than the ones before them: stop at the first that ends.
  while (1) {
    for (i = 1; i <= n; i++) {
      if ((getline line < file[i]) <= 0) exit 0
      print line
    }
  }
}' "$@"
