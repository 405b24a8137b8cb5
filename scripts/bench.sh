#!/usr/bin/env bash
# Builds the benchmarks without sanitizers (the bench tree) and runs the ones named,
# or all of them. Not part of the tests: figures go to docs/benchmarks.md by hand.
#   bench.sh [bench_seed ...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" bench >/dev/null
names=("$@")
if ((${#names[@]} == 0)); then
    mapfile -t names < <(find "$top/build/bench/bench" -maxdepth 2 -type f -name 'bench_*' -perm -u+x -printf '%f\n' | sort)
fi
for name in "${names[@]}"; do
    exe=$(find "$top/build/bench/bench" -type f -name "$name" | head -n 1)
    echo "== $name ($(nproc) cores)"
    "$exe" --benchmark_min_time=0.5
done
