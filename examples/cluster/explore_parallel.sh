#!/usr/bin/env bash
# Spreads one `velnor-cli explore` over N shards with GNU parallel, on this
# machine's cores or on several hosts over ssh, and merges the shards' outputs
# into the unsharded output, in combination order.
#
#   explore_parallel.sh N OUTPUT [explore options ...]
#
#   N        number of shards (jobs); each runs `velnor-cli explore ... --shard K/N`
#   OUTPUT   the merged output file (JSON Lines, or CSV with --csv)
#
# Environment:
#   VELNOR_CLI      the velnor-cli to run (default: velnor-cli on the PATH)
#   PARALLEL_HOSTS  ssh logins for GNU parallel's --sshlogin, e.g. "8/alpha,8/beta"
#                   (the binary and every input file must exist under the same
#                   paths on each host); unset runs on this machine
#   PARALLEL_JOBS   jobs at once per host (default: one per core)
#
# Each shard may itself run threads (--threads T); on one machine, pass
# --threads 1 and let GNU parallel use the cores. --summary and --plot do not
# belong here: they would only cover a shard each.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: explore_parallel.sh N OUTPUT [explore options ...]" >&2
  exit 2
fi
shards=$1
output=$2
shift 2
cli=${VELNOR_CLI:-velnor-cli}
here=$(cd "$(dirname "$0")" && pwd)

csv=()
for option in "$@"; do
  [ "$option" = "--csv" ] && csv=(--csv)
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The command with every word quoted for the shell GNU parallel starts.
command=$(printf '%q ' "$cli" explore "$@")
hosts=()
[ -n "${PARALLEL_HOSTS:-}" ] && hosts=(--sshlogin "$PARALLEL_HOSTS")

status=0
parallel --will-cite --halt now,fail=1 --jobs "${PARALLEL_JOBS:-100%}" "${hosts[@]}" \
  --results "$work/results" "$command --shard {}/$shards" ::: $(seq 1 "$shards") || status=$?
for k in $(seq 1 "$shards"); do
  if [ -s "$work/results/1/$k/stderr" ]; then
    sed "s/^/shard $k\/$shards: /" "$work/results/1/$k/stderr" >&2
  fi
done
if [ "$status" -ne 0 ]; then
  echo "explore_parallel.sh: a shard failed; nothing merged" >&2
  exit "$status"
fi

files=()
for k in $(seq 1 "$shards"); do files+=("$work/results/1/$k/stdout"); done
"$here/merge_shards.sh" "${csv[@]}" "${files[@]}" > "$output"
