#!/bin/bash
# Times a screen of the PTCDA/Ag(111)-like cell (18.96 x 12.61 A, 90°) against the starter
# crystals' low-index planes, --max-multiple 3 --spacing 0.1 over each wedge: on one core, on
# every core, and as the shell loop of lamivex-cli scan a user would otherwise write. Not a
# test: it prints the figures for docs/performance.md and asserts nothing.
#   bench/screen_bench.sh [LAMIVEX_CLI] [REPEATS]
set -euo pipefail
cli=${1:-build/bin/lamivex-cli}
repeats=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
screen=(screen --b1 18.96 --b2 12.61 --beta 90 --substrate-crystals --max-multiple 3
        --spacing 0.1 --quiet)

# The best of REPEATS wall-clock times of a command, seconds.
best_time() {
  local best=""
  for _ in $(seq "$repeats"); do
    local start end t
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  printf '%.3f' "$best"
}

# Processor time (user + system) of one run, seconds: what the wall time is on an idle machine
# at best, and a check on a loaded one.
cpu_time() {
  /usr/bin/time -f '%U %S' -o "$work/cpu" "$@" > /dev/null
  awk '{ printf "%.3f", $1 + $2 }' "$work/cpu"
}

"$cli" "${screen[@]}" --jsonl "$work/all.jsonl" > /dev/null
pairs=$(($(wc -l < "$work/all.jsonl") - 1))
cores=$(nproc)
one=$(best_time "$cli" "${screen[@]}" --threads 1)
all=$(best_time "$cli" "${screen[@]}" --threads "$cores")
one_cpu=$(cpu_time "$cli" "${screen[@]}" --threads 1)
all_cpu=$(cpu_time "$cli" "${screen[@]}" --threads "$cores")

# The same pairs as single scans: each mesh with its wedge (60° hexagonal, 90° square, else
# 180°), as a script over lamivex-cli scan would run them.
/usr/bin/python3 - "$work/all.jsonl" > "$work/loop.sh" <<'PY'
import json, sys
lines = open(sys.argv[1]).read().splitlines()[1:]
print("set -e")
for line in lines:
    r = json.loads(line)
    m = r["mesh"]
    if m is None:
        continue
    if m["hexagonal"]:
        upper = 60
    elif abs(m["a1"] - m["a2"]) < 1e-9 * m["a1"] and abs(m["alpha"] - 90) < 1e-9:
        upper = 90
    else:
        upper = 180
    hexagonal = " --hexagonal" if m["hexagonal"] else ""
    print(f'"$CLI" scan --a1 {m["a1"]} --a2 {m["a2"]} --alpha {m["alpha"]}{hexagonal} '
          f'--b1 18.96 --b2 12.61 --beta 90 --lower 0 --upper {upper} --spacing 0.1 '
          f'--max-multiple 3 --quiet --json > /dev/null')
PY
loop=$(CLI=$cli best_time bash "$work/loop.sh")
loop_cpu=$(CLI=$cli cpu_time bash "$work/loop.sh")

per_pair() { echo "scale=2; 1000 * $1 / $pairs" | bc -l; }
echo "pairs: $pairs, cores: $cores, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| run | wall time | per pair | processor time |"
echo "|---|---|---|---|"
echo "| lamivex-cli screen --threads 1 | $one s | $(per_pair "$one") ms | $one_cpu s |"
echo "| lamivex-cli screen, $cores threads | $all s | $(per_pair "$all") ms | $all_cpu s |"
echo "| shell loop of lamivex-cli scan | $loop s | $(per_pair "$loop") ms | $loop_cpu s |"
echo
echo "speed-up on $cores cores: $(echo "scale=2; $one / $all" | bc -l)x"
