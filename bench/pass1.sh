#!/usr/bin/env bash
# Times the first pass on generated 30,000-statement sources (10 and 10,000
# symbols) against the second pass on the statement file it writes, and
# takes the peak memory of both.
#
#   bash bench/pass1.sh          (REPS=N timed runs per input, default 7)
#
# Build: build-bench-pass1 (Release); scratch files in its scratch/ folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build-bench-pass1
scratch=$build/scratch
reps=${REPS:-7}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2 --target Assembler-Pass1 Assembler-Pass2 >/dev/null
mkdir -p "$build/bench"
g++ -O2 -std=c++17 -Wall -Wextra -Wpedantic -o "$build/bench/pass1_generate" "$root/bench/pass1_generate.cpp"
pass1=$build/Assembler-Pass1
pass2=$build/Assembler-Pass2

rm -rf "$scratch"
mkdir -p "$scratch"
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
# "cpu_ms rss_kb" of one run (user + system time).
timed() {
    /usr/bin/time -f '%U %S %M' -o "$scratch/time.txt" "$@" >/dev/null 2>"$scratch/stderr.txt"
    awk '{printf "%.0f %d\n", ($1 + $2) * 1000, $3}' "$scratch/time.txt"
}

echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) x $(lscpu | sed -n 's/^Model name: *//p' | head -1)"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg) before the runs; medians of $reps runs"
printf '%-8s %7s %7s %7s | %9s %8s %8s %7s | %9s %7s | %6s\n' input lines stmts syms "p1 cpu ms" "us/line" \
    "us/stmt" "p1 RSS" "p2 cpu ms" "p2 RSS" "p1/p2"
for symbols in 10 10000; do
    name=s$symbols
    mkdir -p "$scratch/$name/etc"
    cp "$root/etc/opcodes.txt" "$scratch/$name/etc/"
    cd "$scratch/$name"
    "$build/bench/pass1_generate" 30000 "$symbols" prog >/dev/null
    "$pass1" prog && "$pass2" prog # warm-up, and the statement file for the second pass
    if grep -q -E 'Error|ERROR' etc/log-Pass2.txt; then
        echo "the second pass logged errors on $name" >&2
        exit 1
    fi
    p1=() p2=() r1=0 r2=0
    for ((r = 0; r < reps; r++)); do
        read -r c m < <(timed "$pass1" prog)
        p1+=("$c"); [ "$m" -gt "$r1" ] && r1=$m
        read -r c m < <(timed "$pass2" prog)
        p2+=("$c"); [ "$m" -gt "$r2" ] && r2=$m
    done
    c1=$(printf '%s\n' "${p1[@]}" | median)
    c2=$(printf '%s\n' "${p2[@]}" | median)
    statements=$(wc -l <prog.pass1)
    lines=$(wc -l <prog.asm)
    awk -v n="$name" -v l="$lines" -v s="$statements" -v y="$symbols" -v c1="$c1" -v r1="$r1" -v c2="$c2" \
        -v r2="$r2" 'BEGIN {
        printf "%-8s %7d %7d %7d | %9.0f %8.2f %8.2f %7d | %9.0f %7d | %6.3f\n",
            n, l, s, y, c1, c1 * 1000 / l, c1 * 1000 / s, r1, c2, r2, c1 / c2 }'
    cd "$root"
done
echo "(cpu: user + system time of the whole run; RSS: peak resident set in KB, the largest of the runs;"
echo " lines: source lines, the 10,000-symbol source has 5,000 more for its EQU constants)"
