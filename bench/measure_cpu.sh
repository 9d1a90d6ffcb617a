#!/usr/bin/env bash
# Runs the real program for a while and reports its average CPU use (percent of one core) and
# peak resident memory. Usage: bench/measure_cpu.sh [seconds] [program]
# Under Xvfb when there is no display. Uses a temporary data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
program=${2:-build/bin/tallyglass}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$seconds" "$program"
fi

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
# A first short run writes the default settings file, so the measured run uses the defaults a
# user has from the second start on.
TALLYGLASS_DATA_DIR="$data" "$program" & pid=$!
sleep 2; kill -TERM "$pid"; wait "$pid" || true
TALLYGLASS_DATA_DIR="$data" "$program" &
pid=$!
sleep 2  # start-up is not what we measure
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks); s0=$(date +%s.%N)
sleep "$seconds"
t1=$(ticks); s1=$(date +%s.%N)
peak_kb=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
kill -TERM "$pid"; wait "$pid" || true
awk -v t0="$t0" -v t1="$t1" -v s0="$s0" -v s1="$s1" -v hz="$hz" -v peak="$peak_kb" 'BEGIN {
  printf "cpu: %.2f %% of one core over %.1f s\n", 100 * (t1 - t0) / hz / (s1 - s0), s1 - s0
  printf "peak rss: %.1f MB\n", peak / 1024
}'
