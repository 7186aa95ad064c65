#!/usr/bin/env bash
# kill -9 at random moments of large saves: the target is always the whole old file or the
# whole new one, and the next save removes the temp file a killed one left.
set -u
tool=$1
data=$2
source "$(dirname "$0")/../lib/common.bash"
tries=${LEXANTA_KILL_TRIES:-60}

# Two large vocabularies that differ, about 8 MB each.
seq 1 300000 | sed 's/.*/question number &\tanswer number &/' > "$work/a.txt"
seq 1 300000 | sed 's/.*/another question &\tanother answer &/' > "$work/b.txt"
"$tool" import --format tab2 "$work/a.txt" -o "$work/a.lut" || fail "making a.lut"
"$tool" import --format tab2 "$work/b.txt" -o "$work/b.lut" || fail "making b.lut"
cp "$work/a.lut" "$work/target.lut"

# How long one save takes, to spread the kills over it.
start=$(date +%s%N)
"$tool" save "$work/a.lut" -o "$work/timed.lut"
span=$((($(date +%s%N) - start) / 1000))
[ "$span" -gt 0 ] || span=100000

killed=0
for ((i = 0; i < tries; i++)); do
    source=$work/a.lut
    ((i % 2)) && source=$work/b.lut
    "$tool" save "$source" -o "$work/target.lut" 2>/dev/null &
    pid=$!
    delay=$(((RANDOM * 32768 + RANDOM) % (span * 12 / 10 + 1))) # microseconds
    sleep "$(printf '%d.%06d' $((delay / 1000000)) $((delay % 1000000)))"
    kill -9 $pid 2>/dev/null && killed=$((killed + 1))
    wait $pid 2>/dev/null
    cmp -s "$work/target.lut" "$work/a.lut" || cmp -s "$work/target.lut" "$work/b.lut" ||
        fail "try $i: the target is neither the old file nor the new one"
done
echo "$killed of $tries saves killed before they ended"
[ "$killed" -ge $((tries / 4)) ] || fail "too few saves were killed ($killed) to tell anything"

leftover=$(ls -A "$work" | grep -c '\.lexanta-')
echo "$leftover temp file(s) left by the killed saves"
expect_status 0 "the save after the kills" "$tool" save "$work/a.lut" -o "$work/target.lut"
cmp -s "$work/target.lut" "$work/a.lut" || fail "the last save did not write the file"
if ls -A "$work" | grep -q '\.lexanta-'; then fail "the next save left stale temp files"; fi
finish "kill during save"
