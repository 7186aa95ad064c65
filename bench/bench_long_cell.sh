#!/usr/bin/env bash
# One very long cell printed: CPU seconds (user + system) of lexanta-tool print for a question of
# N characters, as words ("w1 w2 ...") or as one word without a place to break, beside a second
# tool (an older build) when given, runs alternating A B A B.
#   bench/bench_long_cell.sh [BUILD_DIR] [OTHER_TOOL] [N...]     (default build, -, 10000 100000 300000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
other=${2:--}
shift 2 || shift $#
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(10000 100000 300000)
tool="$build/lexanta-tool"
[ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 2; }
work=$(mktemp -d -p "${TMPDIR:-/dev/shm}")
trap 'rm -rf "$work"' EXIT

cpu() {
    /usr/bin/time -f "%U %S" -o "$work/time" "$@" >/dev/null
    awk '{ printf "%.2f", $1 + $2 }' "$work/time"
}

printf '%-8s %-6s %-9s %9s %9s\n' chars kind layout "this s" "other s"
for n in "${sizes[@]}"; do
    for kind in words word; do
        awk -v n="$n" -v kind="$kind" 'BEGIN {
            for (i = 1; len < n; ++i) {
                w = kind == "words" ? "w" i " " : "abcdefghij"
                w = substr(w, 1, n - len)
                printf "%s", w
                len += length(w)
            }
            printf "\tanswer\tcomment\nshort\tanswer two\t\n" }' >"$work/in.txt"
        "$tool" import --format tab3 "$work/in.txt" -o "$work/in.lut"
        for layout in cards list test foldover; do
            a=() b=()
            for round in 1 2; do
                a+=("$(cpu "$tool" print --layout "$layout" "$work/in.lut" -o "$work/a.pdf")")
                [ "$other" = - ] || b+=("$(cpu "$other" print --layout "$layout" "$work/in.lut" -o "$work/b.pdf")")
            done
            mean() { [ $# -eq 0 ] && echo - || echo "$@" | awk '{ printf "%.2f", ($1 + $2) / 2 }'; }
            printf '%-8s %-6s %-9s %9s %9s\n' "$n" "$kind" "$layout" "$(mean "${a[@]}")" \
                "$(mean ${b[@]+"${b[@]}"})"
        done
    done
done
