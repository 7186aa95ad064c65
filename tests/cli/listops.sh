#!/usr/bin/env bash
# lexanta-tool sort, shuffle, swap and frequency. Usage: listops.sh TOOL DATA_DIR
set -u
tool=$1
data=$2
. "$(dirname "$0")/lib/common.bash"

# exported_as LUT EXPECTED-PRINTF-FORMAT DESCRIPTION: the tab export of LUT has these bytes.
exported_as() {
    "$tool" export --format tab "$1" -o "$work/export.tab" || fail "$3: export failed"
    printf "$2" >"$work/expected"
    cmp -s "$work/export.tab" "$work/expected" || fail "$3: $(od -c "$work/export.tab" | head -8)"
}

# import_tab3 NAME PRINTF-FORMAT: a vocabulary from tab-delimited lines (system code page).
import_tab3() {
    printf "$2" >"$work/$1.txt"
    LC_ALL=ru_RU.UTF-8 "$tool" import --format tab3 "$work/$1.txt" -o "$work/$1.lut" ||
        fail "import $1"
}

# --- sort ----------------------------------------------------------------------------------

# Case is ignored, equal keys keep their order (at most 13 entries), empty keys come first.
import_tab3 fruit 'pear\tA\tc1\nApple\tB\tc2\napple\tC\tc3\nbanana\tD\t\n\tE\tc5\n'
expect_status 0 "sort by question" "$tool" sort --by question "$work/fruit.lut" -o "$work/s1.lut"
exported_as "$work/s1.lut" '\tE\tc5\r\nApple\tB\tc2\r\napple\tC\tc3\r\nbanana\tD\t\r\npear\tA\tc1' \
    "sort by question"
expect_status 0 "sort by comment" "$tool" sort --by=comment "$work/fruit.lut" -o "$work/s2.lut"
exported_as "$work/s2.lut" 'banana\tD\t\r\npear\tA\tc1\r\nApple\tB\tc2\r\napple\tC\tc3\r\n\tE\tc5' \
    "sort by comment"

# Answers in Windows-1251 are compared as text, not as bytes: Еж < ёлка < жук, Latin first.
import_tab3 ru 'q1\t\xd0\xb6\xd1\x83\xd0\xba\tc1\nq2\t\xd1\x91\xd0\xbb\xd0\xba\xd0\xb0\tc2\nq3\t\xd0\x95\xd0\xb6\tc3\nq4\tzebra\tc4\nq5\tApple\tc5\n'
expect_status 0 "sort by answer" env LC_ALL=ru_RU.UTF-8 "$tool" sort --by answer "$work/ru.lut" \
    -o "$work/s3.lut"
exported_as "$work/s3.lut" 'q5\tApple\tc5\r\nq4\tzebra\tc4\r\nq3\t\xc5\xe6\tc3\r\nq2\t\xb8\xeb\xea\xe0\tc2\r\nq1\t\xe6\xf3\xea\tc1' \
    "sort by answer (cp1251)"

# With an answer font in the Cyrillic character set the answers are Windows-1251 whatever the
# locale: the header of russian_answers.lut over the entries above.
{ head -n 32 "$data/russian_answers.lut"; tail -n +33 "$work/ru.lut"; } >"$work/ru204.lut"
expect_status 0 "sort by answer, charset 204" env LC_ALL=C.UTF-8 "$tool" sort --by answer \
    "$work/ru204.lut" -o "$work/s4.lut"
exported_as "$work/s4.lut" 'q5\tApple\tc5\r\nq4\tzebra\tc4\r\nq3\t\xc5\xe6\tc3\r\nq2\t\xb8\xeb\xea\xe0\tc2\r\nq1\t\xe6\xf3\xea\tc1' \
    "sort by answer (charset 204)"

expect_status 2 "sort without --by" "$tool" sort "$work/fruit.lut" -o "$work/x.lut"
expect_status 2 "sort --by unknown" "$tool" sort --by title "$work/fruit.lut" -o "$work/x.lut"
grep -q "question, answer or comment" "$work/err" || fail "sort --by unknown: message"
expect_status 2 "sort without -o" "$tool" sort --by question "$work/fruit.lut"
expect_status 2 "sort with an unknown option" "$tool" sort --by question --fast "$work/fruit.lut" \
    -o "$work/x.lut"
expect_status 1 "sort of a missing file" "$tool" sort --by question "$work/missing.lut" \
    -o "$work/x.lut"
[ -e "$work/x.lut" ] && fail "failed sorts wrote an output file"

# --- shuffle -------------------------------------------------------------------------------

lines=''
for i in $(seq 1 40); do lines="${lines}word$i\tanswer$i\tcomment$i\n"; done
import_tab3 forty "$lines"
expect_status 0 "shuffle" "$tool" shuffle --seed 7 "$work/forty.lut" -o "$work/sh1.lut"
expect_status 0 "shuffle again" "$tool" shuffle --seed=7 "$work/forty.lut" -o "$work/sh2.lut"
cmp -s "$work/sh1.lut" "$work/sh2.lut" || fail "shuffle: one seed, two orders"
"$tool" export --format tab "$work/sh1.lut" -o "$work/sh1.tab"
"$tool" export --format tab "$work/forty.lut" -o "$work/forty.tab"
cmp -s "$work/sh1.tab" "$work/forty.tab" && fail "shuffle: order unchanged"
# same entries, each still whole
diff <(tr -d '\r' <"$work/sh1.tab" | sort) <(tr -d '\r' <"$work/forty.tab" | sort) >/dev/null ||
    fail "shuffle: entries changed"
expect_status 0 "shuffle seeded by the clock" "$tool" shuffle "$work/forty.lut" -o "$work/sh3.lut"
expect_status 2 "shuffle --seed abc" "$tool" shuffle --seed abc "$work/forty.lut" -o "$work/x.lut"
expect_status 2 "shuffle --seed -1" "$tool" shuffle --seed=-1 "$work/forty.lut" -o "$work/x.lut"

# --- swap ----------------------------------------------------------------------------------

expect_status 0 "swap" "$tool" swap "$data/russian_answers.lut" -o "$work/sw1.lut"
"$tool" info "$work/sw1.lut" | grep -qx 'layouts: 00000419 00000409 00000409' ||
    fail "swap: layouts not exchanged"
exported_as "$work/sw1.lut" '\xea\xee\xf8\xea\xe0\tcat\tkat\r\n\xf1\xee\xe1\xe0\xea\xe0\tdog\t' "swap"
# the question font now names the Cyrillic set: line 17 is the question font's charset
sed -n 17p "$work/sw1.lut" | grep -q '^204' || fail "swap: fonts not exchanged"
expect_status 0 "swap back" "$tool" swap "$work/sw1.lut" -o "$work/sw2.lut"
"$tool" save "$data/russian_answers.lut" -o "$work/saved.lut"
cmp -s "$work/sw2.lut" "$work/saved.lut" || fail "swap twice: not the original"

# --- frequency -----------------------------------------------------------------------------

import_tab3 runs 'a\tx\tc1\nA\tx\tc2\nb\tx\tc3\nc\tx\tc4\nC\tx\tc5\nc\tx\tc6\n'
expect_status 0 "frequency" "$tool" frequency "$work/runs.lut" -o "$work/f1.lut"
exported_as "$work/f1.lut" 'a\t2\tc1\r\nb\t1\tc2\r\nc\t3\tc3' "frequency of a sorted list"

# sort, then count: true frequencies of an unsorted list
import_tab3 mixed 'dog\t\t\ncat\t\t\nDog\t\t\nbird\t\t\ncat\t\t\n'
"$tool" sort --by question "$work/mixed.lut" -o "$work/m1.lut"
expect_status 0 "frequency after sort" "$tool" frequency "$work/m1.lut" -o "$work/m2.lut"
exported_as "$work/m2.lut" 'bird\t1\t\r\ncat\t2\t\r\ndog\t2\t' "sort then frequency"
expect_status 2 "frequency with an option" "$tool" frequency --by question "$work/runs.lut" \
    -o "$work/x.lut"

finish listops
