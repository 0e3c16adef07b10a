#!/usr/bin/env bash
# Builds the libFuzzer targets with clang++ in build-fuzz and runs each of
# them for SECONDS seconds on a scratch copy of its seed corpus (the seeds in
# fuzz/corpus/<target>/ plus the inputs of the end-to-end cases). Fails when
# any target finds a crash; what it found is kept in build-fuzz/artifacts/.
#
#   bash fuzz/run.sh [SECONDS]        (default 60)
#   FUZZ_TARGETS="tokenize whole_run" bash fuzz/run.sh 30   (a subset)
set -u
seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-fuzz
all_targets="tokenize str2symboldata symbol_file opcode_table statement_file whole_run"
all_targets="$all_targets cpu"
all_targets="$all_targets pass1"
all_targets="$all_targets simulator"
all_targets="$all_targets object_file"
all_targets="$all_targets debugger"
targets=${FUZZ_TARGETS:-$all_targets}

# Longest input per target.
max_len() {
    case $1 in
        tokenize) echo 600 ;;
        str2symboldata) echo 128 ;;
        symbol_file) echo 4096 ;;
        opcode_table) echo 8192 ;;
        statement_file) echo 4096 ;;
        whole_run) echo 8192 ;;
        cpu) echo 4096 ;;
        pass1) echo 8192 ;;
        object_file) echo 4096 ;;
        simulator) echo 4096 ;;
        debugger) echo 4096 ;;
    esac
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Can clang++ build and link a libFuzzer target with the sanitizers?
fuzzer_toolchain_works() {
    command -v clang++ >/dev/null 2>&1 || return 1
    local probe
    probe=$(mktemp -d)
    printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
        'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' > "$probe/probe.cpp"
    clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1
    local status=$?
    rm -rf "$probe"
    return $status
}

ensure_toolchain() {
    if fuzzer_toolchain_works && command -v cmake >/dev/null 2>&1; then
        return 0
    fi
    echo "run.sh: installing clang, the clang runtime libraries and cmake with apt-get"
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -q || return 1
    local packages="cmake make"
    command -v clang++ >/dev/null 2>&1 || packages="$packages clang"
    as_root apt-get install -y -q $packages || return 1
    local major
    major=$(clang++ --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
    fuzzer_toolchain_works || as_root apt-get install -y -q "libclang-rt-${major}-dev" || return 1
    fuzzer_toolchain_works
}

if ! ensure_toolchain; then
    echo "run.sh: clang++ cannot build libFuzzer targets" >&2
    exit 1
fi

# Configure once with clang++; configure again when the cache holds another compiler.
if ! grep -q '^CMAKE_CXX_COMPILER:.*clang' "$build/CMakeCache.txt" 2>/dev/null \
   || ! grep -q '^PASS2_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    rm -rf "$build"
    CXX=clang++ cmake -S "$root" -B "$build" -DPASS2_FUZZ=ON -DBUILD_TESTING=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
fi
build_targets=()
for target in $targets; do build_targets+=("fuzz_$target"); done
cmake --build "$build" -j 2 --target "${build_targets[@]}" || exit 1

# The inputs of the end-to-end cases as further seeds.
add_case_seeds() {
    local target=$1 corpus=$2 in name
    for in in "$root"/tests/cases/*/in; do
        [ -d "$in" ] || continue
        name=$(basename "$(dirname "$in")")
        case $target in
            tokenize)
                [ -f "$in/prog.pass1" ] && split -l 1 -a 4 "$in/prog.pass1" "$corpus/case-$name-" ;;
            statement_file)
                [ -f "$in/prog.pass1" ] && cp "$in/prog.pass1" "$corpus/case-$name" ;;
            symbol_file)
                [ -f "$in/prog.sym" ] && cp "$in/prog.sym" "$corpus/case-$name" ;;
            opcode_table)
                [ -f "$in/etc/opcodes.txt" ] && cp "$in/etc/opcodes.txt" "$corpus/case-$name" ;;
            pass1)
                [ -f "$in/prog.asm" ] && cp "$in/prog.asm" "$corpus/case-$name" ;;
            object_file)
                [ -f "$in/prog.o" ] && cp "$in/prog.o" "$corpus/case-$name" ;;
            simulator)
                [ -f "$in/prog.hex" ] && { printf '\0'; cat "$in/prog.hex"; } > "$corpus/case-$name" ;;
            debugger)
                [ -f "$in/session.txt" ] && cp "$in/session.txt" "$corpus/case-$name" ;;
            whole_run)
                if [ -f "$in/prog.pass1" ]; then
                    { cat "$in/prog.pass1"
                      if [ -f "$in/prog.sym" ]; then printf '@@SYM@@'; cat "$in/prog.sym"; fi
                    } > "$corpus/case-$name"
                fi ;;
        esac
    done
    [ "$target" = opcode_table ] && cp "$root/etc/opcodes.txt" "$corpus/shipped-table"
    return 0
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=""
for target in $targets; do
    corpus=$scratch/$target
    mkdir -p "$corpus"
    cp "$root/fuzz/corpus/$target/." "$corpus/" -R
    add_case_seeds "$target" "$corpus"
    artifacts=$build/artifacts/$target
    mkdir -p "$artifacts"
    options=(-max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=10 -rss_limit_mb=2048
             -artifact_prefix="$artifacts/" -print_final_stats=1)
    case $target in tokenize|statement_file|whole_run) options+=(-dict="$root/fuzz/dict/statements.dict") ;; esac
    [ "$target" = pass1 ] && options+=(-dict="$root/fuzz/dict/source.dict")
    echo "=== fuzz_$target for $seconds s"
    mkdir -p "$scratch/tmp"
    (cd "$scratch" && TMPDIR="$scratch/tmp" "$build/fuzz/fuzz_$target" "${options[@]}" "$corpus" > "$scratch/$target.log" 2>&1)
    status=$?
    grep -E '^(stat::|#[0-9]+ +DONE|==[0-9]+==ERROR|SUMMARY|FUZZ CHECK)' "$scratch/$target.log" | head -n 20
    if [ $status -ne 0 ]; then
        echo "fuzz_$target FOUND A FAULT (exit $status); the input is in $artifacts/"
        tail -n 60 "$scratch/$target.log"
        failed="$failed $target"
    fi
done

if [ -n "$failed" ]; then
    echo "run.sh: faults found by:$failed"
    exit 1
fi
echo "run.sh: no target found a fault"
