#!/usr/bin/env bash
# lexanta-tool check and replace. Usage: check.sh TOOL DATA_DIR
set -u
tool=$1
data=$2
. "$(dirname "$0")/lib/common.bash"
export LC_ALL=C.UTF-8 # the root collation and the 1252 system page

# --- check -----------------------------------------------------------------------------------

# Each case of data/check: the findings as expected.txt holds them; 1 when there are any.
for dir in "$data"/check/*/; do
    name=$(basename "$dir")
    kinds=$(sed -n 's/^kinds=//p' "$dir/args")
    wanted=0
    [ -s "$dir/expected.txt" ] && wanted=1
    expect_status $wanted "check $name" "$tool" check --kinds "$kinds" "$dir/input.lut" >/dev/null
    "$tool" check --kinds "$kinds" "$dir/input.lut" 2>/dev/null | cmp -s - "$dir/expected.txt" ||
        fail "check $name: $("$tool" check --kinds "$kinds" "$dir/input.lut" 2>&1 | head -5)"
done

# JSON: one object a finding, with the entry it repeats.
dups=$data/check/duplicates/input.lut
"$tool" check --json --kinds duplicates,different-answers "$dups" >"$work/out.json"
[ "$(grep -c '"entry"' "$work/out.json")" -eq 4 ] || fail "--json: $(head -c 300 "$work/out.json")"
grep -q '"kind": "different-answers"' "$work/out.json" || fail "--json: no different-answers"
grep -q '"other": 5' "$work/out.json" || fail "--json: no other entry"
"$tool" check --json --kinds spelling "$data/check/spelling/input.lut" >"$work/sp.json"
grep -q '"suggestions": \[' "$work/sp.json" || fail "--json: no suggestions"

# A field whose language has no dictionary says so once, and spelling goes on elsewhere.
expect_status 1 "unknown dictionary" "$tool" check --kinds spelling --dictionary A=xx_YY \
    "$data/check/spelling/input.lut" >/dev/null
[ "$(grep -c 'no dictionary installed' "$work/err")" -eq 1 ] || fail "note: $(cat "$work/err")"

# Usage errors and unreadable files are 2, never taken for findings.
expect_status 2 "unknown kind" "$tool" check --kinds typos "$dups"
expect_status 2 "bad --dictionary" "$tool" check --dictionary en_US "$dups"
expect_status 2 "--fix without -o" "$tool" check --fix trim "$dups"
expect_status 2 "unknown fix" "$tool" check --fix spelling "$dups" -o "$work/x.lut"
expect_status 2 "missing file" "$tool" check "$work/missing.lut"
# Findings, or none, that cannot be printed.
for option in --kinds=duplicates --json; do
    expect_status 2 "full standard output $option" "$tool" check $option "$dups" >/dev/full
    grep -q 'cannot write standard output' "$work/err" || fail "full standard output: $(cat "$work/err")"
done

# --fix: blanks trimmed and repeats joined; what is left is the different answer.
expect_status 1 "--fix" "$tool" check --kinds duplicates,different-answers,blanks \
    --fix trim,duplicates "$dups" -o "$work/fixed.lut" >/dev/null
grep -q "different-answers" <("$tool" check --kinds duplicates,different-answers,blanks \
    "$work/fixed.lut") || fail "--fix: the different answer is gone"
"$tool" export --format tab "$work/fixed.lut" -o "$work/fixed.tab"
printf 'cat\tKatze\t\r\nbird\tVogel\t\r\ncaf\xe9\tdas Caf\xe9\t\r\nthe dog\tder Hund\ta note\r\nthe dog!\tdie H\xfcndin\t' \
    >"$work/fixed.expected"
cmp -s "$work/fixed.tab" "$work/fixed.expected" || fail "--fix: $(od -c "$work/fixed.tab" | head)"
expect_status 0 "nothing left" "$tool" check --kinds duplicates,blanks "$work/fixed.lut"

# A join the drill program could not read in step is left undone, and its group still found;
# the other groups join.
expect_status 1 "--fix, long join" "$tool" check --kinds different-answers \
    --fix different-answers "$data/check/long_join.lut" -o "$work/long.lut" >/dev/null
"$tool" info "$work/long.lut" >"$work/long.info"
grep -q '^entries: 61' "$work/long.info" && ! grep -q over-long "$work/long.info" ||
    fail "--fix, long join: $(cat "$work/long.info")"

# --- replace ---------------------------------------------------------------------------------

# A regular expression with captures, in the questions only, reported on standard error.
expect_status 0 "replace --regex" "$tool" replace --find '^the[\s-]+(\w+)(\W*)$' --with '\1, the\2' \
    --regex --fields q "$dups" -o "$work/r.lut"
grep -q "3 replaced in 3 cells" "$work/err" || fail "replace: $(cat "$work/err")"
"$tool" export --format tab "$work/r.lut" -o - | grep -c ', the' | grep -q '^3$' ||
    fail "replace: $("$tool" export --format tab "$work/r.lut" -o - | od -c | head)"

# What a field's code page cannot hold is refused, naming it; nothing is written.
expect_status 1 "replace refused" "$tool" replace --find cat --with 'кот' "$dups" -o "$work/no.lut"
grep -q "кот" "$work/err" && grep -q "entry 1" "$work/err" || fail "refusal: $(cat "$work/err")"
[ ! -e "$work/no.lut" ] || fail "refusal wrote a file"
expect_status 2 "bad regex" "$tool" replace --find '(' --with x --regex "$dups" -o "$work/no.lut"

finish check
