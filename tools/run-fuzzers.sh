#!/usr/bin/env bash
# Runs every fuzz target for a while on a copy of its seed corpus and prints how many inputs
# it tried. Exits non-zero when a target found a crash or a broken property.
set -euo pipefail
targets=$1 corpus=$2 seconds=$3

status=0
for target in "$targets"/fuzz_*; do
    name=$(basename "$target")
    seeds="$corpus/${name#fuzz_}"
    work=$(mktemp -d)
    log=$(mktemp)
    # New inputs go to the scratch folder, so the kept seeds stay as they are.
    # Short inputs keep each run fast; longer statements add nothing the short ones miss.
    if "$target" -max_total_time="$seconds" -max_len=512 -print_final_stats=1 -artifact_prefix="$work/" \
        "$work" "$seeds" > "$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$name: $runs inputs in ${seconds} s, no failure"
    else
        echo "$name FAILED:"
        tail -40 "$log"
        status=1
    fi
    rm -rf "$work" "$log"
done
exit $status
