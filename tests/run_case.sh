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
#   options    words: no-etc (no etc directory), no-opcodes (etc without opcodes.txt)
#   setup.sh   optional, run in the working directory before the program
#   expected/  stdout, and any file of the working directory (prog.o,
#              etc/log-Pass2.txt, ...) to compare; ABSENT lists paths that must
#              not exist. A line "@@include NAME" stands for the fragment NAME.
# Standard error must stay empty and the exit status must be 0.
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

(cd "$work" && "$program" "${args[@]}" > "$work/.stdout" 2> "$work/.stderr")
status=$?

failed=0
fail() { echo "FAIL [$name]: $*"; failed=1; }

[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
[ -s "$work/.stderr" ] && fail "standard error is not empty: $(head -c 300 "$work/.stderr")"

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
        ABSENT)
            while IFS= read -r path; do
                [ -z "$path" ] || [ ! -e "$work/$path" ] || fail "$path exists but should not"
            done < "$expected" ;;
        *) compare "$expected" "$work/$rel" "$rel" ;;
    esac
done < <(find "$case_dir/expected" -type f -print0 | sort -z)

[ "$failed" -eq 0 ] && echo "ok [$name]"
exit "$failed"
