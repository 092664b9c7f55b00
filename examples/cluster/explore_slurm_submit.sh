#!/usr/bin/env bash
# Submits one `velnor-cli explore` to Slurm as an array of N shards, and a
# merge job that starts once every shard has succeeded and writes the
# unsharded output to OUTDIR/merged.out (JSON Lines, or CSV with --csv).
#
#   explore_slurm_submit.sh N OUTDIR [explore options ...]
#
# VELNOR_CLI names the binary if it is not on the PATH of the compute nodes;
# options for sbatch itself (partition, account) go in SBATCH_* variables.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: explore_slurm_submit.sh N OUTDIR [explore options ...]" >&2
  exit 2
fi
shards=$1
outdir=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$outdir"

csv=""
for option in "$@"; do
  [ "$option" = "--csv" ] && csv="--csv"
done

array=$(sbatch --parsable --array="1-$shards" --export=ALL "$here/explore_slurm.sh" "$outdir" "$@")
files=""
for k in $(seq 1 "$shards"); do files+=" $(printf '%q' "$outdir/shard_$k.out")"; done
merge=$(sbatch --parsable --dependency="afterok:$array" --job-name=velnor-merge \
  --output="$outdir/merge.log" \
  --wrap "$(printf '%q' "$here/merge_shards.sh") $csv $files > $(printf '%q' "$outdir/merged.out")")
echo "shards: job $array; merge: job $merge -> $outdir/merged.out"
