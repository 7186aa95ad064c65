#!/usr/bin/env bash
# Files of blank lines cost little memory: a 20 MB .lut and a 10 MB text file of blank lines
# load, import and save within a 1 GB address space. Usage: blank_lines.sh TOOL DATA_DIR
set -u
tool=$1
. "$(dirname "$0")/lib/common.bash"

if sanitized "$tool"; then
    echo "blank_lines: skipped under the sanitizers"
    exit 0
fi
head -c 20000000 /dev/zero | tr '\0' '\n' >"$work/blank.lut"
head -c 10000000 /dev/zero | tr '\0' '\n' >"$work/blank.txt"
within_1gb() { (ulimit -v 1048576 && "$@"); }

expect_status 0 "info of 20 MB of blank lines" within_1gb "$tool" info "$work/blank.lut"
"$tool" info "$work/blank.lut" | grep -qx 'entries: 4000000' || fail "20 MB of blank lines hold 4,000,000 entries"
expect_status 0 "save of 20 MB of blank lines" within_1gb "$tool" save "$work/blank.lut" -o "$work/saved.lut"
expect_status 0 "import of 10 MB of blank lines" \
    within_1gb "$tool" import --format tab2 "$work/blank.txt" -o "$work/imported.lut"
"$tool" info "$work/imported.lut" | grep -qx 'entries: 9999999' || fail "10,000,000 entries imported, the trailing blank one dropped on saving"
finish blank_lines
