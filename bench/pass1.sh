#!/usr/bin/env bash
# Times the first pass on generated 30,000-statement sources (10 and 10,000
# symbols; s: written out, m: the same program through macros from a
# library of a thousand, conditionals and an include file) against the second
# pass on the statement file it writes, and takes the peak memory of both.
#
#   bash bench/pass1.sh          (REPS=N timed rounds, default 9)
#
# Each round runs every input once, first pass then second, so a slow spell
# of the shared machine falls on all alike; medians are shown. Build:
# build-bench-pass1 (Release); scratch files in its scratch/ folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build-bench-pass1
scratch=$build/scratch
reps=${REPS:-9}
inputs=(s10 s10000 m10 m10000) # written out or with macros, and the symbols

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

for input in "${inputs[@]}"; do
    mkdir -p "$scratch/$input/etc"
    cp "$root/etc/opcodes.txt" "$scratch/$input/etc/"
    mode=""
    [ "${input:0:1}" = m ] && mode=macro
    (
        cd "$scratch/$input"
        "$build/bench/pass1_generate" 30000 "${input:1}" prog $mode >/dev/null
        "$pass1" prog && "$pass2" prog # warm-up, and the statement file for the second pass
        if grep -q -E 'Error|ERROR' etc/log-Pass2.txt; then
            echo "the second pass logged errors on $input" >&2
            exit 1
        fi
    )
done

echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) x $(lscpu | sed -n 's/^Model name: *//p' | head -1)"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg) before the runs; medians of $reps rounds"
declare -A P1 P2 R1 R2
for input in "${inputs[@]}"; do R1[$input]=0; R2[$input]=0; done
for ((r = 0; r < reps; r++)); do
    for input in "${inputs[@]}"; do
        cd "$scratch/$input"
        read -r c m < <(timed "$pass1" prog)
        P1[$input]+="$c "; [ "$m" -gt "${R1[$input]}" ] && R1[$input]=$m
        read -r c m < <(timed "$pass2" prog)
        P2[$input]+="$c "; [ "$m" -gt "${R2[$input]}" ] && R2[$input]=$m
    done
done
printf '%-8s %7s %7s %7s | %9s %8s %8s %7s | %9s %7s | %6s\n' input lines stmts syms "p1 cpu ms" "us/line" \
    "us/stmt" "p1 RSS" "p2 cpu ms" "p2 RSS" "p1/p2"
for input in "${inputs[@]}"; do
    cd "$scratch/$input"
    c1=$(tr ' ' '\n' <<<"${P1[$input]}" | grep . | median)
    c2=$(tr ' ' '\n' <<<"${P2[$input]}" | grep . | median)
    # lines: every line read or made (the trace numbers each)
    lines=$(grep -c '^Read line' etc/log-Pass1.txt)
    awk -v n="$input" -v l="$lines" -v s="$(wc -l <prog.pass1)" -v y="${input:1}" -v c1="$c1" \
        -v r1="${R1[$input]}" -v c2="$c2" -v r2="${R2[$input]}" 'BEGIN {
        printf "%-8s %7d %7d %7d | %9.0f %8.2f %8.2f %7d | %9.0f %7d | %6.3f\n",
            n, l, s, y, c1, c1 * 1000 / l, c1 * 1000 / s, r1, c2, r2, c1 / c2 }'
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg) after the runs"
echo "(cpu: user + system time of the whole run; RSS: peak resident set in KB, the largest of the runs;"
echo " lines: lines read and made, the 10,000-symbol source has 5,000 more for its EQU constants;"
echo " m: 15,000 statements are macro calls, each read and expanded to four lines, the library has 6,000)"
