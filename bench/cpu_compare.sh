#!/usr/bin/env bash
# The core's speed now against a git revision (default main), in one run:
# cpu_bench built from both in Release, run in alternation so a busy spell
# of the machine falls on both alike, and the medians set as a ratio.
#
#   bash bench/cpu_compare.sh [REVISION]
#
# Settings: ROUNDS alternations (default 5), CPU_TIME seconds per benchmark
# and round (default 1), FILTER the benchmarks run (default every Step...:
# the 8085's against the revision, the 8080's against the 8085's of this
# tree). Builds: build-bench (this tree) and build-bench-base (the
# revision, exported into build-bench-base/src).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
revision=${1:-main}
rounds=${ROUNDS:-5}
filter=${FILTER:-^Step}
base=$root/build-bench-base

rm -rf "$base"
mkdir -p "$base/src"
git archive "$revision" | tar -x -C "$base/src"
for tree in "$root:$root/build-bench" "$base/src:$base/build"; do
    cmake -S "${tree%%:*}" -B "${tree#*:}" -DCMAKE_BUILD_TYPE=Release -DPASS2_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
    cmake --build "${tree#*:}" -j 2 --target cpu_bench >/dev/null
done

# One line per benchmark and round: "side name ns_per_iteration".
samples=$(mktemp)
trap 'rm -f "$samples"' EXIT
for round in $(seq "$rounds"); do
    for side in base now; do
        program=$root/build-bench/bench/cpu_bench
        [ "$side" = base ] && program=$base/build/bench/cpu_bench
        "$program" --benchmark_filter="$filter" --benchmark_min_time="${CPU_TIME:-1}" --benchmark_format=csv 2>/dev/null |
            awk -F, -v side="$side" 'NR > 1 && $1 != "" { gsub(/"/, "", $1); print side, $1, $4 }' >>"$samples"
    done
done

median() {
    awk -v s="$1" -v n="$2" '$1 == s && $2 == n { print $3 }' "$samples" | sort -g |
        awk '{ v[NR] = $1 } END { if (NR) print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() {
    awk -v n="$1" -v l="$2" -v b="$3" -v a="$4" \
        'BEGIN { printf "%-20s %s %7.3f ms  %7.3f ms  ratio %.3f  (%.0f -> %.0f M/s)\n", n, l, b, a, a / b, 1000 / b, 1000 / a }'
}
echo "cpu time per million instructions, median of $rounds rounds"
for name in $(awk '{ print $2 }' "$samples" | sort -u); do
    before=$(median base "$name")
    after=$(median now "$name")
    [ -n "$before" ] && ratio "$name" "$revision -> now" "$before" "$after"
    # An 8080 benchmark against its 8085 twin, both of this tree.
    if [ -z "$before" ] && [ "${name%8080}" != "$name" ]; then
        ratio "$name" "8085 -> 8080" "$(median now "${name%8080}")" "$after"
    fi
done
