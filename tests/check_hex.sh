#!/usr/bin/env bash
# Has Debian's srecord read an Intel HEX file we wrote, and compares its
# conversion to binary with ours. Silent when all is well.
#
#   check_hex.sh FILE.hex [FILE.bin [FILL]]     (FILL: the gap byte, default 0xFF)
set -u
hex=$1
if ! command -v srec_info >/dev/null 2>&1 || ! command -v srec_cat >/dev/null 2>&1; then
    echo "check_hex: srec_info/srec_cat missing (apt-get install srecord; .ci/run does it)" >&2
    exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! srec_info "$hex" -intel >"$scratch/info" 2>"$scratch/complaints" || [ -s "$scratch/complaints" ]; then
    echo "check_hex: srec_info complains about $hex:" >&2
    cat "$scratch/complaints" >&2
    exit 1
fi
[ $# -ge 2 ] || exit 0
# srec_cat fills the gaps and moves the lowest address to offset 0, as our
# binary starts at the lowest address written.
fill=${3:-0xFF}
if [ ! -s "$2" ]; then
    grep -q '^Data:' "$scratch/info" && { echo "check_hex: $2 is empty but $hex holds data" >&2; exit 1; }
    exit 0
fi
srec_cat '(' "$hex" -intel -fill "$fill" -over "$hex" -intel ')' -offset - -minimum-addr "$hex" -intel \
    -o "$scratch/bin" -binary 2>"$scratch/complaints"
if [ -s "$scratch/complaints" ] || ! cmp -s "$scratch/bin" "$2"; then
    echo "check_hex: srec_cat's binary of $hex differs from $2" >&2
    cat "$scratch/complaints" >&2
    exit 1
fi
