#!/usr/bin/env bash
# lexanta-tool import, export and convert with the list formats. Usage: lists.sh TOOL DATA_DIR
set -u
tool=$1
data=$2
. "$(dirname "$0")/lib/common.bash"
lists=$data/lists

# Every format round-trips through the tool; .lut -> .xlsx -> .lut keeps the cells' bytes.
for format in csv ods xlsx kvtml anki; do
    expect_status 0 "export $format" "$tool" export --format $format "$lists/roundtrip/many.lut" \
        -o "$work/many.$format"
    expect_status 0 "import $format" "$tool" import --format $format "$work/many.$format" \
        --charsets 0,204,0 -o "$work/back.$format.lut"
    "$tool" export --format tab "$lists/roundtrip/many.lut" -o "$work/want.tab"
    "$tool" export --format tab "$work/back.$format.lut" -o "$work/got.tab"
    cmp -s "$work/want.tab" "$work/got.tab" || fail "$format round trip: $(diff <(od -c "$work/want.tab") <(od -c "$work/got.tab") | head -5)"
done

# auto character sets: the Cyrillic answers get 204 whatever the system's page.
expect_status 0 "auto character sets" env LC_ALL=C "$tool" convert "$lists/real/libreoffice.ods" \
    "$work/lo.lut"
"$tool" export --format tab --utf8 "$work/lo.lut" -o "$work/lo.tab"
grep -q $'^Стол\tстол\tm' "$work/lo.tab" || fail "auto character sets: $(cat "$work/lo.tab")"

# --columns and --append-to: one file's answers become another's questions, added at the end.
expect_status 0 "append" "$tool" import --format csv "$lists/real/libreoffice_comma.csv" \
    --columns 2,1,0 --append-to "$data/animals.lut" -o "$work/appended.lut"
"$tool" info "$work/appended.lut" | grep -qx 'entries: 7' || fail "append: $("$tool" info "$work/appended.lut")"
"$tool" export --format csv "$work/appended.lut" -o "$work/appended.csv"
sed -n 2p "$work/appended.csv" | grep -qx $'cat,Katze,kat\r' || fail "append: first entry moved"
sed -n 4p "$work/appended.csv" | grep -qx $'"table, desk",Tisch,\r' || fail "append: columns $(cat "$work/appended.csv")"

# A KVTML file of three languages needs --languages.
printf '<kvtml version="2.0"><identifiers><identifier id="0"><name>English</name></identifier><identifier id="1"><name>German</name></identifier><identifier id="2"><name>French</name></identifier></identifiers><entries><entry id="0"><translation id="0"><text>cat</text></translation><translation id="1"><text>Katze</text></translation><translation id="2"><text>chat</text></translation></entry></entries></kvtml>' >"$work/three.kvtml"
expect_status 1 "three languages" "$tool" import --format kvtml "$work/three.kvtml" -o "$work/k.lut"
grep -q '0 English, 1 German, 2 French' "$work/err" || fail "three languages: $(cat "$work/err")"
expect_status 0 "--languages" "$tool" import --format kvtml --languages 0,2 "$work/three.kvtml" -o "$work/k.lut"
"$tool" export --format quizlet "$work/k.lut" -o "$work/k.txt"
grep -qx $'cat\tchat' "$work/k.txt" || fail "--languages: $(cat "$work/k.txt")"

# Refusals: one line naming the file, the place and the reason; nothing written.
printf 'keep' >"$work/kept.lut"
for bad in unterminated_quote.csv invalid_utf8.csv zip_bomb.xlsx million_columns.xlsx entity_expansion.kvtml \
    anki_corrupt_zstd.apkg anki_note_without_fields.apkg; do
    expect_status 1 "$bad" "$tool" convert "$lists/hostile/$bad" "$work/kept.lut"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$bad: not one line: $(cat "$work/err")"
    grep -qF "$lists/hostile/$bad: $(cat "$lists/hostile/$bad.expected")" "$work/err" ||
        grep -qF "$(cat "$lists/hostile/$bad.expected")" "$work/err" || fail "$bad: $(cat "$work/err")"
    grep -qF "$bad" "$work/err" || fail "$bad: file not named"
    cmp -s "$work/kept.lut" <(printf keep) || fail "$bad: output written"
done
printf 'cat,\xcb\x90\n' >"$work/ipa.csv"
expect_status 1 "characters no set holds" "$tool" import --format csv "$work/ipa.csv" -o "$work/kept.lut"
grep -qF 'line 1, answer: no single-byte Windows character set holds "ː" (U+02D0 MODIFIER LETTER TRIANGULAR COLON)' "$work/err" ||
    fail "no set holds: $(cat "$work/err")"
expect_status 1 "characters the given set lacks" "$tool" import --format csv --charsets 0,0,0 \
    "$lists/real/libreoffice_comma.csv" -o "$work/kept.lut"
grep -qF 'Line 3, question (code page 1252): "С" (U+0421 CYRILLIC CAPITAL LETTER ES)' "$work/err" ||
    fail "given set lacks: $(cat "$work/err")"
cmp -s "$work/kept.lut" <(printf keep) || fail "unheld characters: output written"
# A blank first sheet is refused naming the sheets; --sheet picks the one with the words.
expect_status 1 "blank first sheet" "$tool" import --format ods "$lists/sheets/blank_cover_sheet.ods" \
    -o "$work/kept.lut"
grep -qF 'blank_cover_sheet.ods: its first sheet, "Cover", is empty; choose one with --sheet (it has Cover, Words)' \
    "$work/err" || fail "blank first sheet: $(cat "$work/err")"
expect_status 0 "--sheet past a blank one" "$tool" import --format ods --sheet Words \
    "$lists/sheets/blank_cover_sheet.ods" -o "$work/words.lut"
"$tool" info "$work/words.lut" | grep -qx 'entries: 1' || fail "--sheet: $("$tool" info "$work/words.lut")"
# Appended to Cyrillic answers, Greek ones are named by line against the answers' page.
expect_status 1 "append: the field's set stays" "$tool" import --format csv \
    "$lists/unheld/greek_then_cyrillic.csv" --append-to "$lists/roundtrip/many.lut" -o "$work/kept.lut"
grep -qF 'Line 1, answer (code page 1251): "σ" (U+03C3 GREEK SMALL LETTER SIGMA)' "$work/err" ||
    fail "append: the field's set stays: $(cat "$work/err")"

# Quizlet text cannot hold a separator inside a cell.
printf 'a;b\tc\n' >"$work/semi.txt"
"$tool" import --format quizlet "$work/semi.txt" -o "$work/semi.lut"
expect_status 1 "quizlet separator in a cell" "$tool" export --format quizlet --row-separator semicolon \
    "$work/semi.lut" -o "$work/kept.lut"
grep -q 'entry 1, question: the text holds a separator' "$work/err" || fail "quizlet: $(cat "$work/err")"

expect_status 0 "convert csv to xlsx" "$tool" convert "$lists/real/libreoffice_semicolon.csv" "$work/c.xlsx"
expect_status 0 "convert xlsx to tsv" "$tool" convert "$work/c.xlsx" "$work/c.tsv"
head -2 "$work/c.tsv" | tail -1 | grep -qx $'Tisch\ttable, desk\tder\r' || fail "convert: $(cat "$work/c.tsv")"
expect_status 2 "convert an unknown extension" "$tool" convert "$work/c.xlsx" "$work/c.docx"
# Anki's packages are read by their name, as zip archives or not, and never written.
expect_status 0 "import an Anki package" "$tool" import --format anki "$lists/real/anki_2.1.50.apkg" -o "$work/anki.lut"
"$tool" export --format csv "$work/anki.lut" -o "$work/anki.csv"
sed -n 3p "$work/anki.csv" | grep -qx $'Baum,tree,y\r' || fail "Anki package: $(cat "$work/anki.csv")"
printf 'Front\tBack\n' >"$work/text.apkg"
expect_status 1 "a text file named .apkg" "$tool" convert "$work/text.apkg" "$work/kept.lut"
grep -qF 'text.apkg: not a zip archive, as an Anki package is' "$work/err" || fail "text .apkg: $(cat "$work/err")"
expect_status 2 "convert to an Anki package" "$tool" convert "$data/animals.lut" "$work/out.apkg"
[ -e "$work/out.apkg" ] && fail "an Anki package written"
expect_status 0 "export csv with a BOM" "$tool" export --format csv --bom "$data/animals.lut" -o "$work/bom.csv"
head -c 3 "$work/bom.csv" | cmp -s - <(printf '\xef\xbb\xbf') || fail "--bom"

finish lists
