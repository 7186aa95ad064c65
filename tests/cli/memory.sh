#!/usr/bin/env bash
# A file too large for the memory left: every reading command says so, names the file, exits 1
# and writes nothing. (An address-space limit cannot be set under AddressSanitizer.)
set -u
tool=$1
data=$2
source "$(dirname "$0")/lib/common.bash"

if sanitized "$tool"; then
    echo "memory: skipped under AddressSanitizer"
    exit 0
fi
# 150 MB of blank lines does not fit in a 250 MB address space.
head -c 150000000 /dev/zero | tr '\0' '\n' >"$work/huge.lut"
cp "$work/huge.lut" "$work/huge.txt"
limited() { (ulimit -v 250000 && exec "$tool" "$@"); }
for command in "info $work/huge.lut" "save $work/huge.lut -o $work/out.lut" \
    "merge $data/animals.lut $work/huge.lut -o $work/out.lut" \
    "fill $data/animals.lut --from $work/huge.lut -o $work/out.lut"; do
    # shellcheck disable=SC2086
    expect_status 1 "$command" limited $command
    grep -q -e "not enough memory to load $work/huge" "$work/err" || fail "$command: $(cat "$work/err")"
    [ ! -e "$work/out.lut" ] || fail "$command wrote its output"
done
# Blank lines cost nothing in the table, and the file is written a few megabytes at a time, so
# an import of them fits, writing included.
expect_status 0 "import" limited import --format tab2 "$work/huge.txt" -o "$work/out.lut"
[ -s "$work/out.lut" ] || fail "import wrote no output"
finish memory
