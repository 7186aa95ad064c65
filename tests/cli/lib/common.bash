# Shared by the tool's shell tests: a scratch folder, failure counting and exit checks.
# Source it after setting `tool` (and `data` where used).
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect_status WANTED DESCRIPTION COMMAND...: runs the command, keeps its stderr in $work/err.
expect_status() {
    local wanted=$1 what=$2
    shift 2
    "$@" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$wanted" ] || fail "$what: exit status $got, wanted $wanted ($(cat "$work/err"))"
}

# sanitized TOOL: true for a sanitizer build (GCC links libasan, Clang builds it in). An
# address-space limit cannot be combined with the sanitizers' shadow memory.
sanitized() {
    ldd "$1" 2>/dev/null | grep -q libasan || nm -D "$1" 2>/dev/null | grep -q __asan_init
}

# finish NAME: the closing line and the exit status.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures failure(s)" >&2
        exit 1
    fi
    echo "$1: all passed"
}
