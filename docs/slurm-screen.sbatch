#!/bin/bash
# A screen split over a Slurm job array: task I of N runs part I/N of the work list and writes
# parts/part-I.jsonl. Submit it, then merge the parts once every task has ended:
#
#   jobid=$(sbatch --parsable docs/slurm-screen.sbatch)
#   sbatch --dependency=afterok:$jobid --wrap 'lamivex-cli merge parts/part-*.jsonl --json > screen.json'
#
# Number the tasks from 1 (--array=1-N). Every task must list the same substrates: give files by the same paths on every node (or use
# --substrate-crystals with Lamivex installed at the same place). A task that was cut short
# (a time limit, a requeue) goes on where it stopped, because of --resume.
#SBATCH --job-name=lamivex-screen
#SBATCH --array=1-8
#SBATCH --cpus-per-task=4
#SBATCH --time=01:00:00
#SBATCH --output=lamivex-screen-%A_%a.log
set -euo pipefail

parts=${SLURM_ARRAY_TASK_COUNT:?run this script with sbatch --array}
part=${SLURM_ARRAY_TASK_ID:?run this script with sbatch --array}
mkdir -p parts
lamivex-cli screen --overlayer-from "PTCDA/Ag(111)" --substrate-crystals \
  --max-multiple 3 --spacing 0.1 \
  --threads "${SLURM_CPUS_PER_TASK:-1}" --shard "$part/$parts" \
  --jsonl "parts/part-$part.jsonl" --resume --quiet
