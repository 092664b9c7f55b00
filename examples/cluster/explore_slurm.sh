#!/usr/bin/env bash
# One shard of a `velnor-cli explore` as a task of a Slurm job array: task K
# of an array 1-N runs `--shard K/N` and writes OUTDIR/shard_K.out. Submit the
# whole exploration, and the merge that waits for it, with
# explore_slurm_submit.sh; or by hand:
#
#   sbatch --array=1-16 explore_slurm.sh OUTDIR [explore options ...]
#
#SBATCH --job-name=velnor-explore
#SBATCH --cpus-per-task=4
#SBATCH --time=01:00:00
#SBATCH --output=velnor-explore-%A_%a.log
set -euo pipefail

outdir=$1
shift
shards=${SLURM_ARRAY_TASK_COUNT:?run as a job array: sbatch --array=1-N}
part=${SLURM_ARRAY_TASK_ID:?run as a job array: sbatch --array=1-N}

mkdir -p "$outdir"
"${VELNOR_CLI:-velnor-cli}" explore "$@" --threads "${SLURM_CPUS_PER_TASK:-1}" --shard "$part/$shards" \
  > "$outdir/shard_$part.out"
