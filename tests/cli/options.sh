#!/usr/bin/env bash
# lexanta-tool's command line: --version, options each command refuses, --charsets, --utf8,
# info --json, failed writes to standard output, and file names that are not UTF-8.
# Usage: options.sh TOOL DATA_DIR
set -u
tool=$1
data=$2
. "$(dirname "$0")/lib/common.bash"
examples=$(dirname "$0")/../../examples
manual=$(dirname "$0")/../../man/lexanta-tool.1.in

"$tool" --version >"$work/out" || fail "--version: exit status"
grep -qx 'lexanta-tool [0-9][0-9.]*' "$work/out" || fail "--version prints: $(cat "$work/out")"

# --- an option a command does not take is a usage error, and nothing is written -------------

while read -r what args; do
    # shellcheck disable=SC2086 # the rows are word lists
    expect_status 2 "$what" "$tool" $args
    grep -q '^usage: lexanta-tool ' "$work/err" || fail "$what: no usage line"
done <<ROWS
export-remove-blank-lines export --format tab --remove-blank-lines $data/animals.lut -o $work/x
export-old-format export --format tab --old-format $data/animals.lut -o $work/x
import-old-format import --format tab2 --old-format $data/animals.lut -o $work/x
sort-seed sort --by question --seed 1 $data/animals.lut -o $work/x
shuffle-by shuffle --by question $data/animals.lut -o $work/x
info-output info $data/animals.lut -o $work/x
save-json save --json $data/animals.lut -o $work/x
html-utf8 export --format html --utf8 $data/animals.lut -o $work/x
merge-one-input merge $data/animals.lut -o $work/x
charsets-two import --format tab2 --charsets 0,204 $data/animals.lut -o $work/x
charsets-range import --format tab2 --charsets 0,256,0 $data/animals.lut -o $work/x
charsets-name import --format tab2 --charsets ansi,klingon,ansi $data/animals.lut -o $work/x
ROWS
[ -e "$work/x" ] && fail "a usage error wrote a file"

# Each command's usage line, and its section of the man page, name every option its --help
# describes.
commands=$("$tool" --help | sed -n 's/^  lexanta-tool \([a-z]*\).*/\1/p')
[ "$(echo $commands | wc -w)" -eq 14 ] || fail "--help lists: $commands"
for command in $commands; do
    "$tool" "$command" --help >"$work/help" || fail "$command --help"
    usage=$(head -1 "$work/help")
    section=$(sed -n "/^\.SS $command\$/,/^\.S[SH] /p" "$manual" | sed 's/\\-/-/g')
    [ -n "$section" ] || fail "man page: no section for $command"
    for option in $(grep -oE '^  (-o, )?--[a-z0-9-]+' "$work/help" | sed 's/.*--/--/'); do
        [ "$option" = --output ] && option=-o
        case "$usage" in *" $option"* | *"[$option"*) ;; *) fail "$command: usage lacks $option" ;; esac
        grep -q -- "$option" <<<"$section" || fail "man page: $command lacks $option"
    done
    # ... each once, and the man page describes there only options the command takes.
    repeated=$(grep -oE '(^| |\[)-(o|-[a-z0-9-]+)' <<<"$usage" | tr -d ' [' | sort | uniq -d)
    [ -z "$repeated" ] || fail "$command: usage names $repeated twice"
    for option in $(awk '/^\.TP/ { getline; print }' <<<"$section" | grep -oE '^\.B[IR]? --[a-z0-9-]+' |
        sed 's/.* //'); do
        grep -qE -- "^  (-o, )?$option( |\$)" "$work/help" ||
            fail "man page: $command describes $option, which it does not take"
    done
done

# An output only some uses need (check writes one with --fix) is shown in brackets alone.
"$tool" check --help | head -1 | grep -q '^usage: lexanta-tool check IN.lut \[' ||
    fail "check: the usage line shows -o as required"

# --- import --charsets: a UTF-8 Russian list into a Cyrillic answer column -------------------

printf 'cat\t\xd0\xba\xd0\xbe\xd1\x88\xd0\xba\xd0\xb0\ndog\t\xd1\x81\xd0\xbe\xd0\xb1\xd0\xb0\xd0\xba\xd0\xb0\n' >"$work/ru.txt"
for charsets in 0,204,0 ansi,russian,ansi ANSI,Russian,0; do
    expect_status 0 "import --charsets $charsets" env LC_ALL=en_US.UTF-8 "$tool" import \
        --format tab2 --charsets "$charsets" "$work/ru.txt" -o "$work/ru.lut"
    # Answer font block (lines 18-24): its character set is line 24.
    [ "$(sed -n '24p' "$work/ru.lut" | tr -d '\r')" = 204 ] || fail "$charsets: answer charset"
    [ "$(sed -n '17p;31p' "$work/ru.lut" | tr -d '\r' | tr '\n' ,)" = 0,0, ] ||
        fail "$charsets: question and comment charsets"
    "$tool" export --format tab "$work/ru.lut" -o "$work/ru.tab"
    printf 'cat\t\xea\xee\xf8\xea\xe0\t\r\ndog\t\xf1\xee\xe1\xe0\xea\xe0\t' >"$work/expected"
    cmp -s "$work/ru.tab" "$work/expected" || fail "$charsets: not Windows-1251: $(od -c "$work/ru.tab")"
done

# --- export --utf8: each column decoded with its font's code page --------------------------

expect_status 0 "export --utf8" env LC_ALL=en_US.UTF-8 "$tool" export --format tab --utf8 \
    "$work/ru.lut" -o "$work/ru-utf8.tab"
printf 'cat\t\xd0\xba\xd0\xbe\xd1\x88\xd0\xba\xd0\xb0\t\r\ndog\t\xd1\x81\xd0\xbe\xd0\xb1\xd0\xb0\xd0\xba\xd0\xb0\t' >"$work/expected"
cmp -s "$work/ru-utf8.tab" "$work/expected" || fail "export --utf8: $(od -c "$work/ru-utf8.tab")"
LC_ALL=en_US.UTF-8 "$tool" export --format tab --utf8 "$examples/english-german.lut" -o - |
    grep -q $'^bridge\tdie Br\xc3\xbccke\tBr\xc3\xbccken' || fail "export --utf8 of cp1252"

# --- info --json ---------------------------------------------------------------------------

"$tool" info --json "$data/animals.lut" >"$work/out"
expected='{"answers-language":"German","author":"Teacher","date":"01.02.2003","entries":2,"font-size":10,"format":"current","layouts":["00000409","00000407","00000409"],"over-long-texts":0,"questions-language":"English","title":"Animals"}'
[ "$(cat "$work/out")" = "$expected" ] || fail "info --json: $(cat "$work/out")"
LC_ALL=ru_RU.UTF-8 "$tool" info --json "$data/old_format.lut" | grep -q '"format":"old"' ||
    fail "info --json of an old file"

# --- standard output that cannot be written --------------------------------------------------

if [ -w /dev/full ]; then
    while read -r what args; do
        # shellcheck disable=SC2086
        "$tool" $args >/dev/full 2>"$work/err"
        status=$?
        [ $status -eq 1 ] || fail "$what > /dev/full: exit status $status"
        grep -q 'standard output: No space left on device' "$work/err" ||
            fail "$what > /dev/full: $(cat "$work/err")"
    done <<ROWS
info info $data/animals.lut
info-json info --json $data/animals.lut
save save $data/animals.lut -o -
export export --format tab $data/animals.lut -o -
help --help
command-help sort --help
version --version
ROWS
fi

# --- file names that are not UTF-8 are those bytes -----------------------------------------

raw=$work/$'w\xf6rter'
cp "$data/animals.lut" "$raw.lut"
expect_status 0 "info of a Latin-1 name" "$tool" info "$raw.lut" >/dev/null
expect_status 0 "save to a Latin-1 name" "$tool" save "$raw.lut" -o "$raw.out"
cmp -s "$data/animals.lut" "$raw.out" || fail "the Latin-1 output name"
[ "$(find "$work" -name '*.out' | wc -l)" -eq 1 ] || fail "an output under another name"
expect_status 1 "a missing Latin-1 name" "$tool" info "$work/$'\xff'.lut"
grep -qF "$work/$'\xff'.lut" "$work/err" || fail "the message names the bytes: $(od -c "$work/err")"

# --- the examples load and save unchanged --------------------------------------------------

for example in "$examples"/*.lut; do
    "$tool" save --old-format "$example" -o "$work/again.lut"
    cmp -s "$example" "$work/again.lut" || fail "$(basename "$example") changed on save"
done

finish options
