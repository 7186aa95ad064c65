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
# 60 MB of blank lines make 720 MB of blank entries, more than the address space.
head -c 60000000 /dev/zero | tr '\0' '\n' >"$work/huge.txt"
limited() { (ulimit -v 250000 && exec "$tool" "$@"); }
for command in "info $work/huge.lut" "save $work/huge.lut -o $work/out.lut" \
    "merge $data/animals.lut $work/huge.lut -o $work/out.lut" \
    "fill $data/animals.lut --from $work/huge.lut -o $work/out.lut"; do
    # shellcheck disable=SC2086
    expect_status 1 "$command" limited $command
    grep -q -e "not enough memory to load $work/huge" -e "cannot read $work/huge.*: too large" \
        "$work/err" || fail "$command: $(cat "$work/err")"
    [ ! -e "$work/out.lut" ] || fail "$command wrote its output"
done
# Blank lines cost nothing in the table, and the file is written a few megabytes at a time, so
# an import of them fits, writing included, though its output does not.
expect_status 0 "import" limited import --format tab2 "$work/huge.txt" -o "$work/out.lut"
[ -s "$work/out.lut" ] || fail "import wrote no output"
rm -f "$work/out.lut"
# A million entries under address-space limits from 120 MB to 1 GB: each command either does
# its work (status 0) or says why not (status 1, one line); none ends by a signal. What each
# did is listed.
awk 'BEGIN { print "0"; for (i = 0; i < 1000000; i++) printf "w%07d\r\n\r\nW%d\r\n0\r\n0\r\n", (i * 7919) % 1000000, i }' \
    >"$work/million.lut"
for limit in 120 160 200 300 500 1000; do
    for command in "sort --by question" frequency save "shuffle --seed 1" swap \
        "merge $work/million.lut"; do
        rm -f "$work/out.lut"
        # shellcheck disable=SC2086
        (ulimit -v $((limit * 1000)) && exec "$tool" $command "$work/million.lut" -o "$work/out.lut") \
            2>"$work/err"
        status=$?
        echo "$limit MB, $command: status $status $(head -c 120 "$work/err")"
        case $status in
        0) [ -s "$work/out.lut" ] || fail "$limit MB, $command: no output" ;;
        1) grep -q '^lexanta-tool: ' "$work/err" || fail "$limit MB, $command: no message" ;;
        *) fail "$limit MB, $command: status $status" ;;
        esac
    done
done
finish memory
