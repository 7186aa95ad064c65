#!/usr/bin/env bash
# lexanta-tool import, fill and export. Usage: interchange.sh TOOL DATA_DIR
set -u
tool=$1
. "$(dirname "$0")/lib/common.bash"

# same_bytes FILE EXPECTED-PRINTF-FORMAT DESCRIPTION
same_bytes() {
    printf "$2" >"$work/expected"
    cmp -s "$1" "$work/expected" || fail "$3: $(od -c "$1" | head -5)"
}

# --- import --------------------------------------------------------------------------------

printf 'cat\tKatze\tkat\r\ndog\tHund\r\n  owl \t Eule\t\r\n' >"$work/three.txt"
expect_status 0 "import tab3" "$tool" import --format tab3 "$work/three.txt" -o "$work/three.lut"
"$tool" info "$work/three.lut" | grep -qx 'entries: 3' || fail "import tab3: entry count"
head -c 21 "$work/three.lut" | cmp -s - <(printf 'Vocabulary Format 1\r\n') ||
    fail "import tab3: not the current format"
# The Save path normalises: the blanks around owl and Eule are gone.
expect_status 0 "export tab" "$tool" export --format tab "$work/three.lut" -o "$work/three.tab"
same_bytes "$work/three.tab" 'cat\tKatze\tkat\r\ndog\tHund\t\r\nowl\tEule\t' "import tab3, export tab"

# Two files joined, each with its byte-order mark: the inner one is named, and dropped on request.
joined=$(dirname "$0")/../data/interchange/joined_files.txt
expect_status 1 "import of joined files" "$tool" import --format tab2 "$joined" -o "$work/joined.lut"
grep -qx "Line 2, question (code page 1252): U+FEFF" "$work/err" || fail "joined: $(cat "$work/err")"
[ ! -e "$work/joined.lut" ] || fail "joined: written though refused"
expect_status 0 "import dropping the marks" "$tool" import --format tab2 --drop-byte-order-marks \
    "$joined" -o "$work/joined.lut"
"$tool" export --format tab "$work/joined.lut" -o "$work/joined.tab"
same_bytes "$work/joined.tab" 'cat\tKatze\t\r\ndog\tHund\t' "joined files, marks dropped"

printf 'cat\nKatze\ndog\n' >"$work/pairs.txt"
expect_status 0 "import text" "$tool" import --format text "$work/pairs.txt" -o "$work/pairs.lut"
"$tool" export --format tab "$work/pairs.lut" -o "$work/pairs.tab"
same_bytes "$work/pairs.tab" 'cat\tKatze\t\r\ndog\t\t' "import text with an odd line count"

printf 'a\tb\tc\nword\n' >"$work/two.txt"
expect_status 0 "import tab2" "$tool" import --format tab2 "$work/two.txt" -o "$work/two.lut"
"$tool" export --format tab "$work/two.lut" -o "$work/two.tab"
same_bytes "$work/two.tab" 'a\tb\tc\t\r\nword\t\t' "import tab2"

: >"$work/empty.txt"
expect_status 0 "import empty file" "$tool" import --format tab3 "$work/empty.txt" -o "$work/empty.lut"
"$tool" info "$work/empty.lut" | grep -qx 'entries: 1' || fail "empty file: one empty entry"

# A UTF-8 Russian word list lands in the code page of the system (default charset columns).
printf 'cat\t\xd0\xba\xd0\xbe\xd1\x88\xd0\xba\xd0\xb0\n' >"$work/ru.txt"
expect_status 0 "import UTF-8 Russian" env LC_ALL=ru_RU.UTF-8 "$tool" import --format tab2 \
    "$work/ru.txt" -o "$work/ru.lut"
"$tool" export --format tab "$work/ru.lut" -o "$work/ru.tab"
same_bytes "$work/ru.tab" 'cat\t\xea\xee\xf8\xea\xe0\t' "UTF-8 Russian stored as Windows-1251"

# The same list on a Western system cannot be held: error naming file, line and characters.
printf 'keep' >"$work/kept.lut"
expect_status 1 "import unencodable" env LC_ALL=en_US.UTF-8 "$tool" import --format tab2 \
    "$work/ru.txt" -o "$work/kept.lut"
grep -q "$work/ru.txt" "$work/err" || fail "unencodable: file not named"
grep -q 'Line 1, answer (code page 1252): к о ш а' "$work/err" ||
    fail "unencodable: line and characters not named: $(cat "$work/err")"
same_bytes "$work/kept.lut" 'keep' "unencodable: output untouched"

expect_status 1 "import missing file" "$tool" import --format tab2 "$work/none.txt" -o "$work/kept.lut"
grep -q "$work/none.txt" "$work/err" || fail "missing input: file not named"
same_bytes "$work/kept.lut" 'keep' "missing input: output untouched"

expect_status 2 "import without --format" "$tool" import "$work/two.txt" -o "$work/x.lut"
expect_status 2 "import with an unknown format" "$tool" import --format docx "$work/two.txt" -o "$work/x.lut"
expect_status 2 "import without -o" "$tool" import --format tab2 "$work/two.txt"
[ -e "$work/x.lut" ] && fail "usage error wrote a file"

# --- fill ----------------------------------------------------------------------------------

printf 'CAT\t\tmine\nbird\t\t\ndog\tDogge\t\n' >"$work/grid.txt"
"$tool" import --format tab3 "$work/grid.txt" -o "$work/grid.lut"
expect_status 0 "fill" "$tool" fill "$work/grid.lut" --from "$work/three.lut" -o "$work/filled.lut"
"$tool" export --format tab "$work/filled.lut" -o "$work/filled.tab"
same_bytes "$work/filled.tab" 'CAT\tKatze\tmine\r\nbird\t\t\r\ndog\tDogge\t' "fill"

expect_status 1 "fill from a missing source" "$tool" fill "$work/grid.lut" --from "$work/none.lut" \
    -o "$work/kept.lut"
grep -q "$work/none.lut" "$work/err" || fail "missing source: file not named"
same_bytes "$work/kept.lut" 'keep' "missing source: output untouched"
expect_status 2 "fill without --from" "$tool" fill "$work/grid.lut" -o "$work/x.lut"

# --- export --------------------------------------------------------------------------------

expect_status 0 "export html" "$tool" export --format html "$work/three.lut" -o "$work/three.html"
[ "$(grep -c '^<tr>' "$work/three.html")" -eq 3 ] || fail "export html: three table rows"
grep -q 'charset=utf-8' "$work/three.html" || fail "export html: charset"
printf '<b>\t&\t"x"\n' >"$work/markup.txt"
"$tool" import --format tab3 "$work/markup.txt" -o "$work/markup.lut"
"$tool" export --format html "$work/markup.lut" -o "$work/markup.html"
grep -q '<td class="f1">&lt;b&gt;</td>' "$work/markup.html" &&
    grep -q '<td class="f2">&amp;</td>' "$work/markup.html" &&
    grep -q '<td class="f3">&quot;x&quot;</td>' "$work/markup.html" ||
    fail "export html: markup not escaped"

expect_status 1 "export to a missing folder" "$tool" export --format tab "$work/three.lut" \
    -o "$work/no/such/dir/out.txt"
grep -q "$work/no/such/dir/out.txt" "$work/err" || fail "unwritable output: file not named"
expect_status 1 "export a missing file" "$tool" export --format tab "$work/none.lut" -o "$work/x.txt"
expect_status 2 "export with an unknown format" "$tool" export --format pdf "$work/three.lut" \
    -o "$work/x.txt"

finish interchange
