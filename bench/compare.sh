#!/usr/bin/env bash
# The rows of the performance table, side by side in one run: lexanta-tool against the tools a
# user would pick (cp, wc -l, uniq -ci, GNU sort in en_US.UTF-8), and against an earlier build
# of lexanta-tool when one is given. Each figure is the median of three runs (wall and CPU
# seconds, hyperfine) and the peak memory of a further run.
#
# Usage: bench/compare.sh [--before OLD_BUILD] [--window] [--perf] [BUILD] [SIZES...]
#   BUILD      a Release or RelWithDebInfo build of this tree (default: build-bench)
#   SIZES      entries per vocabulary (default: 100000 1000000 10000000)
#   --before   a build of an earlier version, run on the same files
#   --window   also open each vocabulary in the window (bench_window_grid, offscreen)
#   --perf     record a profile of each lexanta-tool row (perf from Debian), top symbols printed
#
# The machine is shared: check `uptime` before and after, and repeat a run that looks off.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
before='' window=0 profile=0
args=()
while [ $# -gt 0 ]; do
    case $1 in
    --before) before=$(cd "$2" && pwd); shift 2 ;;
    --window) window=1; shift ;;
    --perf) profile=1; shift ;;
    *) args+=("$1"); shift ;;
    esac
done
set -- "${args[@]+"${args[@]}"}"
build=$(cd "${1:-$root/build-bench}" && pwd)
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(100000 1000000 10000000)
for b in "$build/lexanta-tool" "$build/gen_vocab" ${before:+"$before/lexanta-tool"}; do
    [ -x "$b" ] || { echo "missing $b (build it first)" >&2; exit 2; }
done

# What the comparison needs from Debian: hyperfine, /usr/bin/time, perf when asked, and the
# sources of the en_US locale (compiled here into a folder of our own; the system's locales
# are left alone).
need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x /usr/bin/time ] || need+=(time)
[ $profile -eq 1 ] && ! command -v perf >/dev/null && need+=(linux-perf)
[ -f /usr/share/i18n/locales/en_US ] || need+=(locales)
if [ ${#need[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    work=$(mktemp -d /dev/shm/lexanta_compare.XXXXXX)
else
    work=$(mktemp -d)
fi
trap 'rm -rf "$work"' EXIT
if ! locale -a 2>/dev/null | grep -qix 'en_US.utf8'; then
    mkdir -p "$work/locale"
    localedef -i en_US -f UTF-8 "$work/locale/en_US.UTF-8" >/dev/null 2>&1 || true
    export LOCPATH=$work/locale
fi
{ export LC_ALL=en_US.UTF-8; } 2>/dev/null
if LC_ALL=en_US.UTF-8 locale 2>&1 | grep -q 'Cannot set'; then
    echo "en_US.UTF-8 is not available: GNU sort would not sort as in the table" >&2
    exit 2
fi

# median wall and CPU (user + system) seconds of three runs after a warm-up (hyperfine), and
# the peak memory of one more run (/usr/bin/time): "wall cpu mb"
measure() {
    if ! hyperfine --shell=bash --runs 3 --warmup 1 --export-json "$work/h.json" -- "$(printf '%q ' "$@")" \
        >/dev/null 2>"$work/stderr"; then
        echo "failed: $* ($(tail -2 "$work/stderr"))" >&2
        echo "0 0 0"
        return
    fi
    /usr/bin/time -o "$work/time" -f '%M' "$@" >/dev/null 2>&1
    python3 -c '
import json, statistics, sys
r = json.load(open(sys.argv[1]))["results"][0]
cpu = statistics.median(u + s for u, s in zip(r["user"] if isinstance(r["user"], list) else [r["user"]],
                                               r["system"] if isinstance(r["system"], list) else [r["system"]]))
print("%.3f %.3f %.1f" % (r["median"], cpu, int(sys.argv[2]) / 1024))' "$work/h.json" "$(tail -1 "$work/time")"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

top_symbols() { # command...: the five hottest symbols of one run
    perf record -q -o "$work/perf.data" "$@" >/dev/null 2>&1 || return 0
    perf report -i "$work/perf.data" --no-children --stdio --percent-limit 3 2>/dev/null |
        grep -E '^ +[0-9]' | head -5 | awk '{ $2 = $3 = $4 = ""; print "      " $0 }'
}

header() {
    printf '%-34s %8s %8s %8s' "" "wall s" "cpu s" "peak MB"
    [ -n "$before" ] && printf ' %8s %8s %8s' "before s" "peak MB" "now/bef"
    printf ' %-12s %8s %8s\n' "against" "wall s" "now/agn"
}

row() { # label ours-command -- theirs-label theirs-command...
    local label=$1; shift
    local ours=() theirs_label
    while [ "$1" != "--" ]; do ours+=("$1"); shift; done
    shift
    theirs_label=$1; shift
    local now old='' them
    now=$(measure "$build/lexanta-tool" "${ours[@]}")
    [ -n "$before" ] && old=$(measure "$before/lexanta-tool" "${ours[@]}")
    them=$(measure "$@")
    read -r nw nc nm <<<"$now"
    printf '%-34s %8.3f %8.3f %8.1f' "$label" "$nw" "$nc" "$nm"
    if [ -n "$old" ]; then
        read -r ow oc om <<<"$old"
        printf ' %8.3f %8.1f %8s' "$ow" "$om" "$(ratio "$nw" "$ow")"
    fi
    read -r tw tc tm <<<"$them"
    printf ' %-12s %8.3f %8s\n' "$theirs_label" "$tw" "$(ratio "$nw" "$tw")"
    echo "$label|$now|$old|$them" >>"$work/rows"
    [ $profile -eq 1 ] && top_symbols "$build/lexanta-tool" "${ours[@]}"
    return 0
}

echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) CPUs, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg); locale $LC_ALL; files in $(dirname "$work")"
tab=$(printf '\t')
: >"$work/empty.lut"
empty_mb=$(measure "$build/lexanta-tool" save "$work/empty.lut" -o "$work/empty2.lut" | awk '{ print $3 }')
[ -n "$before" ] &&
    empty_before=$(measure "$before/lexanta-tool" save "$work/empty.lut" -o "$work/empty2.lut" |
        awk '{ print $3 }')
for n in "${sizes[@]}"; do
    "$build/gen_vocab" "$n" "$work/v.lut" --seed 1 --tab "$work/v.txt"
    "$build/lexanta-tool" sort --by question "$work/v.lut" -o "$work/s.lut"
    cut -f1 "$work/v.txt" | LC_ALL=C.UTF-8 sort -f >"$work/q.sorted"
    file_mb=$(du -m --apparent-size "$work/v.lut" | cut -f1)
    echo
    echo "== $n entries, $file_mb MB .lut"
    header
    : >"$work/rows"
    row "save (load + save)" save "$work/v.lut" -o "$work/x.lut" -- cp cp "$work/v.lut" "$work/c.lut"
    row "info (load)" info "$work/v.lut" -- "wc -l" wc -l "$work/v.lut"
    row "frequency of the sorted list" frequency "$work/s.lut" -o "$work/f.lut" -- "uniq -ci" \
        uniq -ci "$work/q.sorted" "$work/u.out"
    row "sort --by question" sort --by question "$work/v.lut" -o "$work/s2.lut" -- "sort -f -k1,1" \
        sort -f -t "$tab" -k1,1 "$work/v.txt" -o "$work/v.sorted"
    # peak memory of load + save above the empty program, in multiples of the file size
    save_mb=$(head -1 "$work/rows" | cut -d'|' -f2 | awk '{ print $3 }')
    printf '%-34s %8s %8s %8.2f x the file above the empty program (%.1f MB)\n' \
        "peak memory of load + save" "" "" \
        "$(awk -v a="$save_mb" -v e="$empty_mb" -v f="$file_mb" 'BEGIN { print (a - e) / f }')" "$empty_mb"
    if [ -n "$before" ]; then
        old_mb=$(head -1 "$work/rows" | cut -d'|' -f3 | awk '{ print $3 }')
        printf '%-34s %8s %8s %8.2f x before\n' "" "" "" \
            "$(awk -v a="$old_mb" -v e="$empty_before" -v f="$file_mb" 'BEGIN { print (a - e) / f }')"
    fi
    sort_cpu=$(sed -n 4p "$work/rows" | cut -d'|' -f2 | awk '{ print $2 }')
    gnu_cpu=$(sed -n 4p "$work/rows" | cut -d'|' -f4 | awk '{ print $2 }')
    echo "sort CPU: $sort_cpu s against GNU sort's $gnu_cpu s ($(ratio "$sort_cpu" "$gnu_cpu"))"
    if [ $window -eq 1 ]; then
        for b in "$build" ${before:+"$before"}; do
            [ -x "$b/bench_window_grid" ] || continue
            echo "window ($b):"
            QT_QPA_PLATFORM=offscreen "$b/bench_window_grid" "$n" 2>/dev/null |
                grep -E 'load into the window|memory of the load' | sed 's/^/  /'
        done
    fi
    rm -f "$work"/*.lut "$work"/*.txt "$work"/*.sorted "$work"/*.out
    : >"$work/empty.lut"
done
echo
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
