#!/usr/bin/env bash
# The list check at N entries on two lists: gen_vocab's (made-up words, so nearly every cell is
# a finding) and a clean one of dictionary words (English pairs, Russian pairs in a Cyrillic
# font), in process (bench_check) and as lexanta-tool check.
# Usage: bench/bench_check.sh BUILD_DIR N...
set -euo pipefail
build=$1
shift
work=$(mktemp -d /dev/shm/bench-check.XXXXXX)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8

words() { # the plain words of a Hunspell dictionary, without their flags
    tail -n +2 "/usr/share/hunspell/$1.dic" | sed 's,/.*,,' | grep -E "^[[:alpha:]]+$" | sort -u
}
words en_US >"$work/en"
words ru_RU >"$work/ru"

for n in "$@"; do
    "$build/gen_vocab" "$n" "$work/gen.lut"
    # Entry i pairs the words at i and i * 7919 of each list, so no two entries are alike.
    awk -v n="$n" 'FNR == NR { en[c++] = $0; next } { ru[d++] = $0 }
        END { for (i = 0; i < n; ++i)
                  printf "%s %s\t%s %s\n", en[i % c], en[(i * 7919 + int(i / c)) % c],
                         ru[i % d], ru[(i * 104729 + int(i / d)) % d] }' \
        "$work/en" "$work/ru" >"$work/clean.txt"
    "$build/lexanta-tool" import --format tab2 --charsets 0,204,0 "$work/clean.txt" \
        -o "$work/clean.lut"
    echo "== $n entries, gen_vocab"
    "$build/bench_check" "$work/gen.lut"
    echo "== $n entries, dictionary words"
    "$build/bench_check" "$work/clean.lut" all Q=en_US,A=ru_RU
    echo "== lexanta-tool check --no-suggestions, dictionary words"
    /usr/bin/time -f "%e s wall, %U s user, %S s system, %M KB" \
        "$build/lexanta-tool" check --no-suggestions --dictionary Q=en_US,A=ru_RU \
        "$work/clean.lut" >/dev/null || true
done
