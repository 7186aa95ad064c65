#!/usr/bin/env bash
# Interchange benchmarks: the core in process (bench_interchange), then lexanta-tool end to end
# (file reading, the command and the atomic write) on gen_vocab data.
#   bench/bench_interchange.sh [BUILD_DIR] [N]      (default build, 1000000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
n=${2:-1000000}
tool="$build/lexanta-tool"
for exe in "$tool" "$build/gen_vocab" "$build/bench_interchange"; do
    [ -x "$exe" ] || { echo "missing $exe: build first" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== core, in process, N=$n"
"$build/bench_interchange" "$n"

# timed LABEL COMMAND...: wall and CPU seconds and peak memory of one run.
timed() {
    local label=$1
    shift
    /usr/bin/time -f "%e s wall  %U+%S s cpu  %M KB peak" -o "$work/time" "$@"
    printf '%-44s %s\n' "$label" "$(cat "$work/time")"
}

echo "== lexanta-tool, N=$n"
"$build/gen_vocab" "$n" "$work/big.lut" --seed 1
timed "export --format tab" "$tool" export --format tab "$work/big.lut" -o "$work/big.tab"
timed "export --format html" "$tool" export --format html "$work/big.lut" -o "$work/big.html"
# The exported file mixes Windows-1252 and -1251 bytes, so it is imported byte for byte.
timed "import --format tab3 ($n lines)" "$tool" import --format tab3 "$work/big.tab" -o "$work/imported.lut"
cmp -s <("$tool" export --format tab "$work/imported.lut" -o -) "$work/big.tab" ||
    echo "  note: re-imported entries differ from the export (fields with surrounding blanks)"
# A grid of the same questions without answers or comments, filled from the whole vocabulary.
cut -f1 "$work/big.tab" | sed 's/\r$//' >"$work/questions.txt"
"$tool" import --format tab2 "$work/questions.txt" -o "$work/questions.lut"
timed "fill $n rows --from $n entries" "$tool" fill "$work/questions.lut" --from "$work/big.lut" -o "$work/filled.lut"
ls -l "$work" | grep -v " time$" | awk 'NR > 1 { printf "  %-16s %12d bytes\n", $9, $5 }'
