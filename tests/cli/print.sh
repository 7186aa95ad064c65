#!/usr/bin/env bash
# lexanta-tool print: PDF worksheets without a display. Usage: print.sh TOOL DATA_DIR
set -u
tool=$1
data=$2
. "$(dirname "$0")/lib/common.bash"
in="$data/print/cyrillic/vocabulary.lut"

# Every layout, with no display and no platform named: the tool picks its own.
for layout in list test foldover cards; do
    expect_status 0 "print $layout" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        "$tool" print --layout "$layout" "$in" -o "$work/$layout.pdf"
    [ -s "$work/err" ] && fail "print $layout: said $(cat "$work/err")"
    pdftotext "$work/$layout.pdf" - | grep -q 'медведь' || fail "print $layout: Cyrillic answer missing"
done
pdffonts "$work/cards.pdf" | awk 'NR > 2 && $(NF-4) != "yes" { bad = 1 } END { exit bad }' ||
    fail "cards: a font is not embedded: $(pdffonts "$work/cards.pdf")"
[ "$(pdfinfo "$work/cards.pdf" | awk '/^Pages:/ { print $2 }')" = 8 ] || fail "cards: 30 entries 2x4"

expect_status 0 "print to standard output" "$tool" print --layout cards --cards-per-page 4x6 \
    --flip short --page letter "$in" -o - >"$work/stdout.pdf"
[ "$(head -c 5 "$work/stdout.pdf")" = "%PDF-" ] || fail "standard output: not a PDF"
pdfinfo "$work/stdout.pdf" | grep -q 'Page size: *612 x 792' || fail "--page letter"

# What it cannot do: usage errors (2) and files (1); the output stays as it was.
printf 'keep' >"$work/kept.pdf"
for bad in "--layout poster" "--layout cards --cards-per-page 5x5" "--layout cards --flip sideways" \
    "--layout test --variants 27" "--layout list --fields q,q" "--layout list --margin 90" \
    "--layout list --font-scale x"; do
    # shellcheck disable=SC2086
    expect_status 2 "$bad" "$tool" print $bad "$in" -o "$work/kept.pdf"
done
expect_status 1 "missing input" "$tool" print --layout list "$work/none.lut" -o "$work/kept.pdf"
grep -q "$work/none.lut" "$work/err" || fail "missing input: file not named"
expect_status 1 "missing folder" "$tool" print --layout list "$in" -o "$work/no/out.pdf"
grep -q "$work/no/out.pdf" "$work/err" || fail "missing folder: file not named"
[ "$(cat "$work/kept.pdf")" = keep ] || fail "a failed print changed the output"

# The tool without its page painter says so, and the other commands do not need it.
mkdir "$work/alone" && cp "$tool" "$work/alone/"
expect_status 1 "no page painter" "$work/alone/lexanta-tool" print --layout list "$in" -o "$work/kept.pdf"
grep -q 'page painter' "$work/err" || fail "no page painter: $(cat "$work/err")"
ldd "$work/alone/lexanta-tool" | grep -q Gui && fail "lexanta-tool loads Qt Gui"
expect_status 0 "info without the page painter" "$work/alone/lexanta-tool" info "$in" >/dev/null

finish print.sh
