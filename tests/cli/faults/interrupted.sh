#!/usr/bin/env bash
# Ctrl+C, kill and a closed terminal during a long write: the tool ends by the signal, the
# target stays as it was and no temp file is left beside it. An input cut short while in use
# is reported.
set -u
tool=$1
source "$(dirname "$0")/../lib/common.bash"

seq 1 100000 | sed 's/.*/question number &\tanswer number &/' > "$work/long.txt"
"$tool" import --format tab2 "$work/long.txt" -o "$work/long.lut" || fail "making long.lut"
# An input that another program shortens while the tool still reads it: status 1 and a message
# naming it. The tool is held at a write into a pipe that is read on only after the cut.
cp "$work/long.lut" "$work/cut.lut"
"$tool" save "$work/cut.lut" -o - 2>"$work/err" |
    { head -c 1 >/dev/null; : >"$work/cut.lut"; cat >/dev/null; }
status=${PIPESTATUS[0]}
[ "$status" -eq 1 ] || fail "shortened input: exit status $status"
grep -q "cut.lut.* shortened by another program while in use" "$work/err" ||
    fail "shortened input: $(cat "$work/err")"
set -m # a background job of a script ignores SIGINT otherwise
for signal in INT TERM HUP; do
    echo "the old file" > "$work/out.pdf"
    "$tool" print --layout list "$work/long.lut" -o "$work/out.pdf" 2>"$work/err" &
    pid=$!
    for ((i = 0; i < 600; i++)); do
        ls -A "$work" | grep -q '\.lexanta-' && break
        sleep 0.05
    done
    kill -"$signal" $pid
    wait $pid
    status=$?
    [ "$status" -eq $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: exit status $status"
    [ "$(cat "$work/out.pdf")" = "the old file" ] || fail "SIG$signal: the target changed"
    if ls -A "$work" | grep -q '\.lexanta-'; then fail "SIG$signal: temp file left"; fi
done
finish "interrupted writes"
