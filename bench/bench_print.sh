#!/usr/bin/env bash
# Worksheets as PDF through lexanta-tool print, each layout timed against the HTML export of
# the same file (a whole pass over the entries that paints nothing), runs alternating A B A B
# so that the load of a shared machine falls on both alike. CPU is user + system seconds.
#   bench/bench_print.sh [BUILD_DIR] [N...]      (default build, 10000 1000000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(10000 1000000)
tool="$build/lexanta-tool"
for exe in "$tool" "$build/gen_vocab"; do
    [ -x "$exe" ] || { echo "missing $exe: build first" >&2; exit 2; }
done
work=$(mktemp -d -p "${TMPDIR:-/dev/shm}")
trap 'rm -rf "$work"' EXIT

# run OUT COMMAND...: "cpu wall peak_kb" of one run.
run() {
    local out=$1
    shift
    /usr/bin/time -f "%U %S %e %M" -o "$work/time" "$@" >/dev/null
    awk '{ printf "%.2f %.2f %d\n", $1 + $2, $3, $4 }' "$work/time" >"$out"
}

printf '%-9s %-9s %6s %8s %8s %9s %8s %8s\n' entries layout pages "cpu s" "wall s" "peak MB" "html s" ratio
for n in "${sizes[@]}"; do
    "$build/gen_vocab" "$n" "$work/in.lut" --seed 1
    for layout in list cards test foldover; do
        : >"$work/runs"
        for round in 1 2; do
            run "$work/a" "$tool" export --format html "$work/in.lut" -o "$work/out.html"
            run "$work/b" "$tool" print --layout "$layout" --page a4 "$work/in.lut" -o "$work/out.pdf"
            echo "$(cat "$work/a") $(cat "$work/b")" >>"$work/runs"
        done
        pages=$(pdfinfo "$work/out.pdf" | awk '/^Pages:/ { print $2 }')
        # columns of runs: html cpu, wall, peak; print cpu, wall, peak
        awk -v n="$n" -v layout="$layout" -v pages="$pages" '
            { a += $1; b += $4; wall += $5; if ($6 > peak) peak = $6 }
            END { printf "%-9s %-9s %6s %8.2f %8.2f %9.1f %8.2f %8.1f\n", n, layout, pages,
                  b / NR, wall / NR, peak / 1024, a / NR, b / a }' "$work/runs"
done
done
