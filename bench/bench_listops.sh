#!/usr/bin/env bash
# Times lexanta-tool sort and frequency against GNU sort -f and uniq -ci on the same entries.
# Usage: bench/bench_listops.sh [BUILD_DIR] [SIZES...]   (default: build, 10000 100000 1000000)
# Each figure is the best of three runs: wall seconds and CPU seconds (user + system).
# The tool's times include loading and saving the .lut file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(10000 100000 1000000)
tool="$build/lexanta-tool"
gen="$build/gen_vocab"
for b in "$tool" "$gen"; do # bench_listops_core is optional
    [ -x "$b" ] || { echo "missing $b (build it first)" >&2; exit 2; }
done

if locale -a 2>/dev/null | grep -qix 'en_US.utf8'; then
    loc=en_US.UTF-8
else
    loc=C.UTF-8
fi
export LC_ALL=$loc
# Files live in memory when possible: the tool's writer flushes to disk, GNU sort does not.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    work=$(mktemp -d /dev/shm/bench_listops.XXXXXX)
else
    work=$(mktemp -d)
fi
trap 'rm -rf "$work"' EXIT

# best WALL CPU of three runs of a command, as "wall cpu"
measure() {
    local best_wall='' best_cpu='' out wall cpu
    for _ in 1 2 3; do
        /usr/bin/time -o "$work/time" -f '%e %U %S' "$@" >/dev/null 2>&1
        out=$(tail -1 "$work/time")
        wall=$(awk '{print $1}' <<<"$out")
        cpu=$(awk '{printf "%.2f", $2 + $3}' <<<"$out")
        if [ -z "$best_wall" ] || awk "BEGIN{exit !($wall < $best_wall)}"; then best_wall=$wall; fi
        if [ -z "$best_cpu" ] || awk "BEGIN{exit !($cpu < $best_cpu)}"; then best_cpu=$cpu; fi
    done
    echo "$best_wall $best_cpu"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN{ if (b > 0) printf "%.2f", a / b; else print "-" }'; }

row() { # label ours(wall cpu) theirs(wall cpu)
    local label=$1 ow oc tw tc
    read -r ow oc <<<"$2"
    read -r tw tc <<<"$3"
    printf '%-50s %7.2f %7.2f %7.2f %7.2f %7s %7s\n' "$label" "$ow" "$oc" "$tw" "$tc" \
        "$(ratio "$ow" "$tw")" "$(ratio "$oc" "$tc")"
}

echo "locale $loc, $(nproc) CPU(s); times in seconds, best of 3; ratio = tool / GNU"
printf '%-50s %7s %7s %7s %7s %7s %7s\n' "" "tool" "tool" "GNU" "GNU" "ratio" "ratio"
printf '%-50s %7s %7s %7s %7s %7s %7s\n' "" "wall" "cpu" "wall" "cpu" "wall" "cpu"
tab=$(printf '\t')
for n in "${sizes[@]}"; do
    "$gen" "$n" "$work/v.lut" --seed 1 --tab "$work/v.txt"
    cut -f1 "$work/v.txt" >"$work/q.txt"
    LC_ALL=C.UTF-8 sort -f "$work/q.txt" >"$work/q.sorted"
    "$tool" sort --by question "$work/v.lut" -o "$work/s.lut"

    row "$n: sort --by question / sort -f -k1,1" \
        "$(measure "$tool" sort --by question "$work/v.lut" -o "$work/s.lut")" \
        "$(measure sort -f -t "$tab" -k1,1 "$work/v.txt" -o "$work/v.sorted")"
    row "$n: sort --by question / sort -f (questions)" \
        "$(measure "$tool" sort --by question "$work/v.lut" -o "$work/s.lut")" \
        "$(measure sort -f "$work/q.txt" -o "$work/q.out")"
    row "$n: frequency (sorted) / uniq -ci" \
        "$(measure "$tool" frequency "$work/s.lut" -o "$work/f.lut")" \
        "$(measure uniq -ci "$work/q.sorted" "$work/u.out")"
    row "$n: save (load + save, no list work) / cp" \
        "$(measure "$tool" save "$work/v.lut" -o "$work/x.lut")" \
        "$(measure cp "$work/v.txt" "$work/x.txt")"
    if [ "$n" -ge 1000000 ]; then
        # the partition sort's hard shapes: presorted input and one key throughout
        row "$n: sort presorted / sort -f presorted" \
            "$(measure "$tool" sort --by question "$work/s.lut" -o "$work/s2.lut")" \
            "$(measure sort -f "$work/q.sorted" -o "$work/q.out")"
        awk -F "$tab" -v OFS="$tab" '{ $1 = "Same"; print }' "$work/v.txt" >"$work/same.txt"
        # the answers are Russian: import them in a Windows-1251 locale
        LC_ALL=ru_RU.UTF-8 "$tool" import --format tab3 "$work/same.txt" -o "$work/same.lut"
        cut -f1 "$work/same.txt" >"$work/sameq.txt"
        row "$n: sort of equal keys / sort -f" \
            "$(measure "$tool" sort --by question "$work/same.lut" -o "$work/s3.lut")" \
            "$(measure sort -f "$work/sameq.txt" -o "$work/q.out")"
    fi
    if [ -x "$build/bench_listops_core" ]; then
        echo "  in process, CPU seconds, without load and save:"
        "$build/bench_listops_core" "$work/v.lut" | sed 's/^/    /'
    fi
done
