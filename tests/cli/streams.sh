#!/usr/bin/env bash
# Inputs without end and outputs nobody reads: a device is not read, a pipe that goes on is
# refused as too large before memory runs out, and a reader that goes away ends the tool with
# status 1 and a message, not a signal.
set -u
tool=$1
data=$2
source "$(dirname "$0")/lib/common.bash"

expect_status 1 "a device as input" "$tool" info /dev/zero
grep -qF "/dev/zero: Is a device, not a file" "$work/err" || fail "device: $(cat "$work/err")"

if sanitized "$tool"; then
    echo "streams: the address-space limit is skipped under AddressSanitizer"
else
    # Half of a 1 GB address space may be read; a pipe of 600 MB stops there.
    mkfifo "$work/endless"
    head -c 600000000 /dev/zero >"$work/endless" &
    expect_status 1 "a pipe past the limit" bash -c 'ulimit -v 1000000 && exec "$0" info "$1"' \
        "$tool" "$work/endless"
    grep -qF "$work/endless: too large" "$work/err" || fail "pipe: $(cat "$work/err")"
    kill %1 2>/dev/null
    wait
fi

# Standard input named twice is refused, not read once as the file and once as an empty one.
while read -r what args; do
    # shellcheck disable=SC2086 # the rows are word lists
    expect_status 2 "$what" "$tool" $args <"$data/animals.lut"
    grep -q 'standard input (-) is read only once' "$work/err" || fail "$what: $(cat "$work/err")"
done <<ROWS
merge merge - - -o $work/twice.lut
fill fill --from - - -o $work/twice.lut
append import --format csv --append-to - - -o $work/twice.lut
ROWS
[ -e "$work/twice.lut" ] && fail "standard input twice: a file was written"

# A reader that takes ten bytes and goes.
seq 1 20000 | sed 's/.*/word&\tWort&/' >"$work/words.txt"
"$tool" import --format tab2 "$work/words.txt" -o "$work/words.lut" || fail "making the input"
"$tool" save "$work/words.lut" -o - 2>"$work/err" | head -c 10 >/dev/null
status=${PIPESTATUS[0]}
[ "$status" -eq 1 ] || fail "closed pipe: status $status"
grep -qx "lexanta-tool: cannot write standard output: Broken pipe" "$work/err" ||
    fail "closed pipe: $(cat "$work/err")"
finish streams
