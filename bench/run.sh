#!/usr/bin/env bash
# Times the pass on large generated programs, counts its system calls and its
# memory, sets it against the floor (the same lines written with one write()
# each and nothing else), then runs the micro-benchmarks.
#
#   bash bench/run.sh            (or: make bench)
#
# Settings (environment): REPS timed runs per input (default 7, the median is
# shown); MICRO_TIME seconds per micro-benchmark (default 0.2); FULL_STRACE=0
# skips the one full strace run (about 15 s); FRONT_STATEMENTS, FRONT_REPS
# size the front's timing (default 30000 statements, 15 runs). Build: build-bench (Release),
# scratch files: build-bench/scratch. The figures are also kept in
# build-bench/results.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build-bench
scratch=$build/scratch
reps=${REPS:-7}
micro_time=${MICRO_TIME:-0.2}
full_strace=${FULL_STRACE:-1}
results=$build/results.txt

# ---------------------------------------------------------------- tools
need=()
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v g++ >/dev/null 2>&1 || need+=(g++)
command -v make >/dev/null 2>&1 || need+=(make)
command -v strace >/dev/null 2>&1 || need+=(strace)
[ -x /usr/bin/time ] || need+=(time)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
if [ "${#need[@]}" -gt 0 ]; then
    echo "installing: ${need[*]}"
    apt-get update >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi

# ---------------------------------------------------------------- build
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPASS2_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2 >/dev/null
prog=$build/Assembler-Pass2
gen=$build/bench/pass2_generate
floor=$build/bench/pass2_floor
micro=$build/bench/pass2_micro

# ---------------------------------------------------------------- inputs
# Each input has a working directory of its own, with etc/opcodes.txt.
rm -rf "$scratch"
mkdir -p "$scratch"
cd "$scratch"

# name statements symbols
inputs=(
    "p65k-s10 65536 10"
    "p65k-s1k 65536 1000"
    "p65k-s10k 65536 10000"
    "p16k-s10 16384 10"
    "p16k-s1k 16384 1000"
    "p16k-s10k 16384 10000"
)

measure() {
echo "== Machine"
echo "date:   $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "cpu:    $(nproc) x $(lscpu | sed -n 's/^Model name: *//p' | head -1)"
echo "load:   $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) before the runs"
echo "kernel: $(uname -r)"
echo "disk:   $(df -T "$scratch" | awk 'NR==2 {print $2 " (" $1 ")"}') for the scratch files"
echo "runs:   one warm-up run, then $reps rounds; each round runs every input once (program, then"
echo "        floor), so a slow spell of the machine falls on all inputs alike; medians shown"
echo
echo "== Inputs"
for entry in "${inputs[@]}"; do
    read -r name statements symbols <<<"$entry"
    mkdir -p "$name/etc"
    cp "$root/etc/opcodes.txt" "$name/etc/opcodes.txt"
    (cd "$name" && "$gen" "$statements" "$symbols" "$name")
done
echo

# ---------------------------------------------------------------- helpers
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# Runs a command under /usr/bin/time -v; prints "wall_ms cpu_ms maxrss_kb".
# Wall and CPU (user + system) times come from bash's time, in milliseconds;
# the command's standard output is left in out.txt.
timed() {
    local t real user sys
    t=$( { time /usr/bin/time -v -o time.txt "$@" >out.txt 2>/dev/null; } 2>&1 )
    read -r real user sys <<<"$t"
    awk -v r="$real" -v u="$user" -v s="$sys" -v m="$(sed -n 's/.*Maximum resident set size (kbytes): //p' time.txt)" \
        'BEGIN {printf "%.1f %.1f %d\n", r * 1000, (u + s) * 1000, m}'
}
TIMEFORMAT='%3R %3U %3S'

# "name calls" for every system call of an strace -c summary.
syscall_counts() {
    awk '$1 ~ /^[0-9.]+$/ && $NF != "total" {print $NF, $4}' "$1" | sort
}

# Counts the write system calls of one run: perf's in-kernel counter when it
# works (no slow-down), else strace (about 60 us per call on this kind of machine).
use_perf=0
if command -v perf >/dev/null 2>&1 && perf stat -x, -e syscalls:sys_enter_write true >/dev/null 2>&1; then
    use_perf=1
else
    echo "NOTE: perf cannot count system calls here; the writes are counted with strace (some minutes)"
    echo
fi
count_writes() {
    if [ "$use_perf" = 1 ]; then
        perf stat -x, -o perf.txt -e syscalls:sys_enter_write "$@" >/dev/null
        awk -F, '/sys_enter_write/ {print $1}' perf.txt
    else
        strace -f -c -e trace=write -o wst.txt "$@" >/dev/null
        awk '$NF == "write" {print $4}' wst.txt
    fi
}

run_prog() { (cd "$1" && timed "$prog" "$1"); }
# The floor's time without its reading of the files (it reports that itself).
run_floor() {
    (
        cd "$1"
        read -r w c m < <(timed "$floor" etc/log-Pass2.txt floor.log "$1.o" floor.o)
        read -r _ rw rc <out.txt
        awk -v w="$w" -v c="$c" -v m="$m" -v rw="$rw" -v rc="$rc" 'BEGIN {printf "%.1f %.1f %d\n", w - rw, c - rc, m}'
    )
}

# ---------------------------------------------------------------- runs
local -A P_WALL P_CPU F_WALL F_CPU RSS STMTS LOGL OBJL WRITES OTHER ERRS
for entry in "${inputs[@]}"; do
    read -r name _ _ <<<"$entry"
    # Warm-up: leaves the outputs in place, as every timed run finds them.
    run_prog "$name" >/dev/null
    run_floor "$name" >/dev/null
    RSS[$name]=0
done
for ((r = 0; r < reps; r++)); do
    for entry in "${inputs[@]}"; do
        read -r name _ _ <<<"$entry"
        read -r w c m < <(run_prog "$name")
        P_WALL[$name]+="$w "
        P_CPU[$name]+="$c "
        [ "$m" -gt "${RSS[$name]}" ] && RSS[$name]=$m
        read -r w c m < <(run_floor "$name")
        F_WALL[$name]+="$w "
        F_CPU[$name]+="$c "
    done
done
for entry in "${inputs[@]}"; do
    read -r name _ _ <<<"$entry"
    for v in P_WALL P_CPU F_WALL F_CPU; do
        declare -n samples=$v
        samples[$name]=$(tr ' ' '\n' <<<"${samples[$name]}" | grep . | median)
        unset -n samples
    done
    cd "$scratch/$name"
    STMTS[$name]=$(wc -l <"$name.pass1")
    LOGL[$name]=$(wc -l <etc/log-Pass2.txt)
    OBJL[$name]=$(wc -l <"$name.o")
    ERRS[$name]=$(grep -c -E 'Error|ERROR' etc/log-Pass2.txt || true)
    WRITES[$name]=$(count_writes "$prog" "$name")
    # Every other system call, by name: strace stops only on those (seccomp),
    # so this run is not slowed down by the writes.
    strace -f -c --seccomp-bpf -e 'trace=!write' -o "$scratch/strace-$name.txt" "$prog" "$name" >/dev/null
    OTHER[$name]=$(awk '$NF == "total" {print $4}' "$scratch/strace-$name.txt")
    cd "$scratch"
done

# ---------------------------------------------------------------- report
echo "== Times (medians of $reps runs; cpu = user + system time, wall = elapsed time)"
printf '%-10s %6s %6s | %8s %8s %8s | %8s %8s | %7s %7s\n' \
    input stmts syms "cpu ms" "wall ms" "us/stmt" "cpu ms" "wall ms" "cpu" "wall"
printf '%-10s %6s %6s | %-26s | %-17s | %-15s\n' "" "" "" "program" "floor" "program/floor"
for entry in "${inputs[@]}"; do
    read -r name _ symbols <<<"$entry"
    awk -v n="$name" -v s="${STMTS[$name]}" -v y="$symbols" -v pw="${P_WALL[$name]}" -v pc="${P_CPU[$name]}" \
        -v fw="${F_WALL[$name]}" -v fc="${F_CPU[$name]}" 'BEGIN {
        printf "%-10s %6d %6d | %8.1f %8.1f %8.2f | %8.1f %8.1f | %7.3f %7.3f\n",
            n, s, y, pc, pw, pc * 1000 / s, fc, fw, pc / fc, pw / fw }'
done
echo "load:   $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) after the runs"
echo "(us/stmt: the whole run's cpu time divided by the statements. The floor's times leave"
echo " out its reading of the files. On a quiet machine wall and cpu agree within a few per"
echo " cent, as the pass never waits for the disk; the machine is shared, so the targets are"
echo " judged on cpu time, which other processes disturb far less, with wall time beside it)"
echo
echo "== Counts (one run each)"
printf '%-10s %7s %8s %8s %8s %7s %9s %6s %8s\n' \
    input "RSS KB" "log ln" "obj ln" writes "wr/stmt" "wr-lines" other "err ln"
for entry in "${inputs[@]}"; do
    read -r name _ _ <<<"$entry"
    awk -v n="$name" -v s="${STMTS[$name]}" -v rss="${RSS[$name]}" -v ll="${LOGL[$name]}" -v ol="${OBJL[$name]}" \
        -v w="${WRITES[$name]}" -v o="${OTHER[$name]}" -v e="${ERRS[$name]}" 'BEGIN {
        printf "%-10s %7d %8d %8d %8d %7.2f %9d %6d %8d\n", n, rss, ll, ol, w, w / s, w - ll - ol, o, e }'
done
echo "(RSS: peak resident set, the largest of the timed runs; wr-lines: write calls minus"
echo " log lines minus object lines; other: all other system calls, by strace; err ln:"
echo " lines of the run log with Error or ERROR, 0 for a clean program)"
for entry in "${inputs[@]}"; do
    read -r name _ _ <<<"$entry"
    [ "${OBJL[$name]}" = $((STMTS[$name] + 1)) ] || echo "WARNING: $name: ${OBJL[$name]} object lines for ${STMTS[$name]} statements"
done
echo

echo "== Growth from 16,384 to 65,536 statements"
for syms in s10 s1k s10k; do
    a=p16k-$syms
    b=p65k-$syms
    awk -v n="$syms" -v ta="${P_CPU[$a]}" -v tb="${P_CPU[$b]}" -v sa="${STMTS[$a]}" -v sb="${STMTS[$b]}" \
        -v ra="${RSS[$a]}" -v rb="${RSS[$b]}" 'BEGIN {
        printf "%-5s marginal cpu time per statement %.2f us; peak RSS %d KB -> %d KB (%+d KB)\n",
            n, (tb - ta) * 1000 / (sb - sa), ra, rb, rb - ra }'
    grown=$(join <(syscall_counts "strace-$a.txt") <(syscall_counts "strace-$b.txt") |
        awk '$3 > $2 {printf " %s %d->%d", $1, $2, $3}')
    echo "      other system calls whose count grows:${grown:- none}"
done
echo

if [ "$full_strace" = 1 ]; then
    echo "== Full strace -f -c of p16k-s10 (every system call, writes included)"
    (cd p16k-s10 && strace -f -c -o "$scratch/strace-full.txt" "$prog" p16k-s10 >/dev/null)
    syscall_counts strace-full.txt | awk '{printf "  %-16s %8d\n", $1, $2}'
    strace_writes=$(awk '$NF == "write" {print $4}' strace-full.txt)
    method=$([ "$use_perf" = 1 ] && echo "perf's syscalls:sys_enter_write" || echo "strace -e trace=write")
    echo "  write calls by strace: $strace_writes; by $method: ${WRITES[p16k-s10]}"
    echo
fi

echo "== Targets"
bad_writes=""
grown_any=""
for entry in "${inputs[@]}"; do
    read -r name _ _ <<<"$entry"
    [ "${WRITES[$name]}" = $((LOGL[$name] + OBJL[$name])) ] || bad_writes+=" $name"
done
for syms in s10 s1k s10k; do
    grown_any+=$(join <(syscall_counts "strace-p16k-$syms.txt") <(syscall_counts "strace-p65k-$syms.txt") |
        awk '$3 > $2 {printf " %s", $1}')
done
echo "one write per log line and per object line, every input: $([ -z "$bad_writes" ] && echo PASS || echo "FAIL:$bad_writes")"
echo "no other system call grows with the statements: $([ -z "$grown_any" ] && echo PASS || echo "FAIL:$(tr ' ' '\n' <<<"$grown_any" | sort -u | tr '\n' ' ')")"
awk -v pw="${P_WALL[p65k-s10]}" -v fw="${F_WALL[p65k-s10]}" -v pc="${P_CPU[p65k-s10]}" -v fc="${F_CPU[p65k-s10]}" \
    -v w10="${P_WALL[p65k-s10]}" -v w10k="${P_WALL[p65k-s10k]}" -v c10="${P_CPU[p65k-s10]}" -v c10k="${P_CPU[p65k-s10k]}" \
    -v s10="${STMTS[p65k-s10]}" -v s10k="${STMTS[p65k-s10k]}" \
    -v rss="${RSS[p65k-s10k]}" -v rss16="${RSS[p16k-s10k]}" 'BEGIN {
    r = pc / fc
    printf "program / floor, 65,536 stmts, 10 symbols: %.3f (limit 1.15)  %s   [wall: %.3f]\n", r, r <= 1.15 ? "PASS" : "FAIL", pw / fw
    q = (c10k / s10k) / (c10 / s10)
    printf "time per statement, 10,000 / 10 symbols: %.3f (limit 1.2)  %s   [wall: %.3f]\n", q, q <= 1.2 ? "PASS" : "FAIL", (w10k / s10k) / (w10 / s10)
    printf "peak RSS, 65,536 stmts, 10,000 symbols: %d KB = %.2f MiB (limit 8 MiB)  %s\n", rss, rss / 1024, rss < 8192 ? "PASS" : "FAIL"
    printf "peak RSS growth 16,384 -> 65,536 stmts, 10,000 symbols: %+d KB\n", rss - rss16
}'
echo

echo "== Micro-benchmarks"
"$micro" --benchmark_min_time="$micro_time"
echo

# The front's conversions (object file read back, Intel HEX, binary, listing,
# written) against its two passes, both in-process, on a generated source.
echo "== Front: conversions against the two passes (${FRONT_STATEMENTS:-30000} statements)"
mkdir -p "$scratch/front"
(cd "$scratch/front" && "$build/bench/front_timing" "${FRONT_STATEMENTS:-30000}" "${FRONT_REPS:-15}" "$root/etc/opcodes.txt")
echo

# The 8085 core with the trace off: instructions per second on the exerciser
# loop and the delay loop (median of five), and one disassembled trace line.
echo "== 8085 core"
"$build/bench/cpu_bench" --benchmark_min_time="${CPU_TIME:-1}" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true
echo
# The session's run loops against the bare core and the loop before them,
# and the trace into a file.
echo "== Session run loop and trace"
(cd "$scratch" && "$build/bench/session_bench" --benchmark_min_time="${CPU_TIME:-1}" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true)
}

measure 2>&1 | tee "$results"
