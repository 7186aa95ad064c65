#!/usr/bin/env bash
# Import of a 1,000,000-row list: CSV and .xlsx beside the tab-delimited import of the same rows,
# and beside LibreOffice converting the same .xlsx to CSV. CPU time (user + system) and peak
# memory of whole processes, runs in the order A B A B so that a busy shared machine hurts
# both alike.
#   bench/bench_lists.sh [BUILD_DIR] [N]      (default build, 1000000)
# LibreOffice comes with `scripts/setup bench`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
n=${2:-1000000}
tool="$build/lexanta-tool"
for exe in "$tool" "$build/gen_vocab"; do
    [ -x "$exe" ] || { echo "missing $exe: build first" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/gen_vocab" "$n" "$work/rows.lut" --seed 1 --tab "$work/rows.txt"
"$tool" export --format csv "$work/rows.lut" -o "$work/rows.csv"
"$tool" export --format xlsx "$work/rows.lut" -o "$work/rows.xlsx"
unpacked=$(unzip -l "$work/rows.xlsx" | tail -1 | awk '{print $1}')
echo "N=$n: rows.txt $(stat -c %s "$work/rows.txt") B, rows.csv $(stat -c %s "$work/rows.csv") B," \
    "rows.xlsx $(stat -c %s "$work/rows.xlsx") B packed, $unpacked B unpacked"

# cpu LABEL COMMAND...: prints "LABEL cpu_seconds peak_kb" and appends it to the results.
cpu() {
    local label=$1
    shift
    /usr/bin/time -f "%U %S %M" -o "$work/time" "$@" >/dev/null 2>&1
    read -r user sys peak <"$work/time"
    local seconds
    seconds=$(echo "$user + $sys" | bc)
    printf '%-34s %6.2f s cpu  %8d KB peak\n' "$label" "$seconds" "$peak"
    echo "$label $seconds $peak" >>"$work/results"
}

empty="$work/empty.txt"
: >"$empty"
cpu "empty import (baseline)" "$tool" import --format tab3 "$empty" -o /dev/null
for round in 1 2; do
    cpu "tab3 import" "$tool" import --format tab3 --charsets 1,204,1 "$work/rows.txt" -o /dev/null
    cpu "csv import" "$tool" import --format csv --charsets 1,204,1 "$work/rows.csv" -o /dev/null
    cpu "tab3 import" "$tool" import --format tab3 --charsets 1,204,1 "$work/rows.txt" -o /dev/null
    cpu "csv import" "$tool" import --format csv --charsets 1,204,1 "$work/rows.csv" -o /dev/null
    cpu "xlsx import" "$tool" import --format xlsx --charsets 1,204,1 "$work/rows.xlsx" -o /dev/null
    if command -v soffice >/dev/null; then
        cpu "LibreOffice xlsx -> csv" soffice --headless --convert-to csv --outdir "$work/lo" \
            "$work/rows.xlsx"
    fi
    cpu "xlsx import" "$tool" import --format xlsx --charsets 1,204,1 "$work/rows.xlsx" -o /dev/null
done

# median LABEL: the median CPU seconds of the runs of LABEL; peak LABEL: their largest peak.
median() {
    grep "^$1 [0-9.]* [0-9]*$" "$work/results" | awk '{print $(NF-1)}' | sort -n |
        awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
peak() {
    grep "^$1 [0-9.]* [0-9]*$" "$work/results" | awk '{print $NF}' | sort -n | tail -1
}
echo "== medians of the runs"
base=$(peak "empty import (baseline)")
csv_bytes=$(stat -c %s "$work/rows.csv")
for label in "tab3 import" "csv import" "xlsx import" "LibreOffice xlsx -> csv"; do
    [ -n "$(peak "$label")" ] && printf '%-34s %6.2f s cpu  %8d KB peak\n' "$label" "$(median "$label")" "$(peak "$label")"
done
echo "csv / tab3 CPU: $(echo "scale=2; $(median "csv import") / $(median "tab3 import")" | bc)"
if [ -n "$(peak "LibreOffice xlsx -> csv")" ]; then
    echo "xlsx / LibreOffice CPU: $(echo "scale=2; $(median "xlsx import") / $(median "LibreOffice xlsx -> csv")" | bc)"
fi
echo "csv peak above the empty program / the file: $(echo "scale=2; ($(peak "csv import") - $base) * 1024 / $csv_bytes" | bc)"
echo "xlsx peak above the empty program / its unpacked size: $(echo "scale=2; ($(peak "xlsx import") - $base) * 1024 / $unpacked" | bc)"
