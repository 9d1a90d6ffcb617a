#!/usr/bin/env bash
# Runs one libFuzzer target: run_target.sh PROGRAM SEEDS WORKDIR LIBFUZZER-OPTIONS...
# New inputs go to WORKDIR/corpus/NAME (the seeds in the source tree stay as they are), findings
# to WORKDIR/findings/NAME. Prints one summary line; exits non-zero on any finding.
set -uo pipefail
program=$1 seeds=$2 work=$3
shift 3
name=$(basename "$program")
name=${name#fuzz_}
corpus="$work/corpus/$name"
findings="$work/findings/$name"
log="$work/logs/$name.log"
rm -rf "$findings"  # what an earlier run found was reported then
mkdir -p "$corpus" "$findings" "$(dirname "$log")"

# A hang (one input over 10 s) or an allocation beyond 256 MB is a finding like a crash.
"$program" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=256 -print_final_stats=1 \
  -artifact_prefix="$findings/" "$@" "$corpus" "$seeds" >"$log" 2>&1
status=$?

runs=$(awk '/^stat::number_of_executed_units/ {print $2}' "$log")
found=$(find "$findings" -type f | wc -l)
echo "fuzz $name: ${runs:-?} executions, $found findings (exit $status; log $log)"
if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
  tail -n 40 "$log"
  find "$findings" -type f -printf '  finding: %p\n'
  exit 1
fi
