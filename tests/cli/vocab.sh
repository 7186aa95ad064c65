#!/usr/bin/env bash
# lexanta-tool info, save and merge: output, exit statuses and untouched files on failure.
set -u
tool=$1
data=$2
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
fails=0
check() { # description, then a command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok - $what"; else echo "FAIL - $what"; fails=$((fails + 1)); fi
}

out=$("$tool" info "$data/animals.lut")
expected="format: current
entries: 2
questions-language: English
answers-language: German
title: Animals
author: Teacher
date: 01.02.2003
layouts: 00000409 00000407 00000409
font-size: 10"
check "info of the worked example" test "$out" = "$expected"
check "info names texts the drill program reads out of step" bash -c "'$tool' info '$data/lut/over_long_line/input.lut' | grep -q '^over-long texts: 1 (first: entry 1, '"
check "info of an old-format file" bash -c "'$tool' info '$data/old_format.lut' | head -2 | tr '\n' ' ' | grep -qx 'format: old entries: 2 '"

"$tool" save "$data/animals.lut" -o "$tmp/a.lut"
check "load and save gives the same bytes" cmp -s "$data/animals.lut" "$tmp/a.lut"
"$tool" save - -o - < "$data/animals.lut" > "$tmp/stdio.lut"
check "standard input and output" cmp -s "$data/animals.lut" "$tmp/stdio.lut"

"$tool" save "$data/old_format.lut" -o "$tmp/old.lut" --old-format
check "--old-format keeps the old format" cmp -s "$data/old_format.lut" "$tmp/old.lut"
"$tool" save "$data/old_format.lut" -o "$tmp/new.lut"
check "an old file is written with the header" bash -c "head -1 '$tmp/new.lut' | grep -q '^Vocabulary Format 1'"

printf 'Vocabulary Format 1\r\n' > "$tmp/blank.lut"
sed -n '2,32p' "$data/animals.lut" >> "$tmp/blank.lut"
printf 'cat\r\n\r\nKatze\r\n0\r\n0\r\n\r\n\r\n\r\n0\r\n0\r\ndog\r\n\r\nHund\r\n0\r\n0' >> "$tmp/blank.lut"
"$tool" save "$tmp/blank.lut" -o "$tmp/kept.lut"
check "blank rows kept without the option" test "$("$tool" info "$tmp/kept.lut" | sed -n 2p)" = "entries: 3"
"$tool" save "$tmp/blank.lut" -o "$tmp/removed.lut" --remove-blank-lines
check "--remove-blank-lines drops them" test "$("$tool" info "$tmp/removed.lut" | sed -n 2p)" = "entries: 2"

"$tool" merge "$data/animals.lut" "$data/old_format.lut" -o "$tmp/merged.lut"
check "merge appends an old-format file whole" test "$("$tool" info "$tmp/merged.lut" | sed -n 2p)" = "entries: 4"

"$tool" info "$tmp/missing.lut" 2> "$tmp/err"; status=$?
check "missing input: status 1" test $status -eq 1
check "missing input: the message names the file" grep -q "missing.lut" "$tmp/err"

mkdir "$tmp/ro"
cp "$data/old_format.lut" "$tmp/ro/target.lut"
chmod a-w "$tmp/ro" "$tmp/ro/target.lut"
if [ "$(id -u)" -ne 0 ]; then # root writes anywhere
  "$tool" save "$data/animals.lut" -o "$tmp/ro/target.lut" 2> "$tmp/err"; status=$?
  check "unwritable output: status 1" test $status -eq 1
  check "unwritable output: the old file is intact" cmp -s "$data/old_format.lut" "$tmp/ro/target.lut"
fi
"$tool" save "$data/animals.lut" -o "$tmp/no/such/dir/x.lut" 2> "$tmp/err"; status=$?
check "output in a missing folder: status 1" test $status -eq 1
check "output in a missing folder: the message names the file" grep -q "x.lut" "$tmp/err"

"$tool" save "$data/animals.lut" 2> /dev/null; status=$?
check "save without -o is a usage error" test $status -eq 2
"$tool" frobnicate 2> /dev/null; status=$?
check "unknown command is a usage error" test $status -eq 2
check "--help succeeds" bash -c "'$tool' --help > /dev/null"

echo "$fails failed"
[ $fails -eq 0 ]
