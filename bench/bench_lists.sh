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
    cpu "tab3 import" "$tool" import --format tab3 "$work/rows.txt" -o /dev/null
    cpu "csv import" "$tool" import --format csv --charsets 1,204,1 "$work/rows.csv" -o /dev/null
    cpu "tab3 import" "$tool" import --format tab3 "$work/rows.txt" -o /dev/null
    cpu "csv import" "$tool" import --format csv --charsets 1,204,1 "$work/rows.csv" -o /dev/null
    cpu "xlsx import" "$tool" import --format xlsx --charsets 1,204,1 "$work/rows.xlsx" -o /dev/null
    if command -v soffice >/dev/null; then
        cpu "LibreOffice xlsx -> csv" soffice --headless --convert-to csv --outdir "$work/lo" \
            "$work/rows.xlsx"
    fi
    cpu "xlsx import" "$tool" import --format xlsx --charsets 1,204,1 "$work/rows.xlsx" -o /dev/null
done

echo "== medians of the runs"
awk -v unpacked="$unpacked" -v csv="$(stat -c %s "$work/rows.csv")" '
    { cpu[$0] = 1; label = $0; sub(/ [^ ]+ [^ ]+$/, "", label); n[label]++;
      split($0, f, " "); s = f[length(f) - 1]; p = f[length(f)];
      t[label, n[label]] = s; m[label, n[label]] = p }
    END {
      for (l in n) {
        k = n[l]; for (i = 1; i <= k; i++) v[i] = t[l, i]; asort(v);
        med[l] = (k % 2) ? v[(k + 1) / 2] : (v[k / 2] + v[k / 2 + 1]) / 2;
        peak[l] = m[l, 1]; delete v
      }
      for (l in med) printf "%-34s %6.2f s cpu  %8d KB peak\n", l, med[l], peak[l]
      base = peak["empty import (baseline)"]
      if (med["tab3 import"] > 0)
        printf "csv / tab3 CPU: %.2f\n", med["csv import"] / med["tab3 import"]
      if (med["LibreOffice xlsx -> csv"] > 0)
        printf "xlsx / LibreOffice CPU: %.2f\n", med["xlsx import"] / med["LibreOffice xlsx -> csv"]
      printf "xlsx peak above the empty program / unpacked size: %.2f\n", (peak["xlsx import"] - base) * 1024 / unpacked
      printf "csv peak above the empty program / file size: %.2f\n", (peak["csv import"] - base) * 1024 / csv
    }' "$work/results"
