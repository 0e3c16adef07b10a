#!/usr/bin/env bash
# Runs one end-to-end case: copies its inputs into a fresh working directory,
# runs the program there and compares every expected output byte for byte.
#
#   run_case.sh CASE_DIR PROGRAM SHIPPED_OPCODES FRAGMENTS_DIR
#
# A case folder holds:
#   in/        files copied into the working directory (prog.pass1, prog.sym, etc/...)
#   args       the command-line arguments, one per line (default: prog); an
#              empty file runs the program without argument
#   cmd        instead of args: a bash script run in the working directory;
#              the programs are in $ASSEMBLER_PASS2, $ASSEMBLER_PASS1,
#              $ASSEMBLER and $SIMULATOR (those that are built)
#   options    words: no-etc (no etc directory), no-opcodes (etc without opcodes.txt)
#   setup.sh   optional, run in the working directory before the program
#   expected/  stdout, stderr, status (the exit status), and any file of the
#              working directory (prog.o, etc/log-Pass2.txt, ...) to compare;
#              ABSENT lists paths that must not exist. A line "@@include NAME"
#              stands for the fragment NAME.
# Without expected/stderr standard error must stay empty; without
# expected/status the exit status must be 0.
set -u
case_dir=$(cd "$1" && pwd)
program=$2
shipped_opcodes=$3
fragments=$4
name=$(basename "$case_dir")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

options=""
[ -f "$case_dir/options" ] && options=$(cat "$case_dir/options")
if [[ " $options " != *" no-etc "* ]]; then
    mkdir -p "$work/etc"
    [[ " $options " == *" no-opcodes "* ]] || cp "$shipped_opcodes" "$work/etc/opcodes.txt"
fi
[ -d "$case_dir/in" ] && cp -R "$case_dir/in/." "$work/"
[ -f "$case_dir/setup.sh" ] && (cd "$work" && bash "$case_dir/setup.sh")

args=(prog)
if [ -f "$case_dir/args" ]; then
    mapfile -t args < "$case_dir/args"
fi

if [ -f "$case_dir/cmd" ]; then
    (cd "$work" && bash "$case_dir/cmd" > "$work/.stdout" 2> "$work/.stderr")
else
    (cd "$work" && "$program" "${args[@]}" > "$work/.stdout" 2> "$work/.stderr")
fi
status=$?

failed=0
fail() { echo "FAIL [$name]: $*"; failed=1; }

expected_status=0
[ -f "$case_dir/expected/status" ] && expected_status=$(tr -d ' \n' < "$case_dir/expected/status")
[ "$status" -eq "$expected_status" ] || fail "exit status $status, expected $expected_status"
if [ ! -f "$case_dir/expected/stderr" ] && [ -s "$work/.stderr" ]; then
    fail "standard error is not empty: $(head -c 300 "$work/.stderr")"
fi

# Expands the @@include lines of an expected file.
expand() {
    while IFS= read -r line || [ -n "$line" ]; do
        if [[ "$line" == "@@include "* ]]; then
            cat "$fragments/${line#@@include }"
        else
            printf '%s\n' "$line"
        fi
    done < "$1"
}

# A file without a final line end must stay so: expand only files that include.
expected_bytes() {
    if grep -q '^@@include ' "$1"; then expand "$1"; else cat "$1"; fi
}

compare() {
    local expected_file=$1 actual_file=$2 label=$3
    if [ ! -e "$actual_file" ]; then
        fail "$label was not written"
        return
    fi
    if ! cmp -s <(expected_bytes "$expected_file") "$actual_file"; then
        fail "$label differs"
        diff <(expected_bytes "$expected_file" | cat -A) <(cat -A "$actual_file") | head -n 12
    fi
}

while IFS= read -r -d '' expected; do
    rel=${expected#"$case_dir/expected/"}
    case "$rel" in
        stdout) compare "$expected" "$work/.stdout" "standard output" ;;
        stderr) compare "$expected" "$work/.stderr" "standard error" ;;
        status) ;;
        ABSENT)
            while IFS= read -r path; do
                [ -z "$path" ] || [ ! -e "$work/$path" ] || fail "$path exists but should not"
            done < "$expected" ;;
        *) compare "$expected" "$work/$rel" "$rel" ;;
    esac
done < <(find "$case_dir/expected" -type f -print0 | sort -z)

[ "$failed" -eq 0 ] && echo "ok [$name]"
exit "$failed"
