#!/usr/bin/env bash
# The .deb: lintian finds no error, and as root it installs, runs from /usr/bin and is removed
# again. Usage: deb_package.sh PACKAGE.deb
set -u
deb=$(realpath "$1")
source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/tests/cli/lib/common.bash"

lintian --fail-on error "$deb" >"$work/lintian" 2>&1 ||
    fail "lintian: $(cat "$work/lintian")"
grep '^E:' "$work/lintian" && fail "lintian errors"
dpkg-deb -c "$deb" >"$work/contents"
for path in ./usr/bin/lexanta-editor ./usr/bin/lexanta-tool ./usr/libexec/lexanta/lexanta-tool-print \
    ./usr/share/lexanta-editor/help/editor.html \
    ./usr/share/applications/org.lexanta.Editor.desktop ./usr/share/doc/lexanta-editor/copyright; do
    grep -q " $path\$" "$work/contents" || fail "not in the package: $path"
done

if [ "$(id -u)" -ne 0 ]; then
    echo "deb_package: SKIP installing the package: needs root"
elif dpkg-query -W -f='${Status}' lexanta-editor 2>/dev/null | grep -q "install ok installed"; then
    echo "deb_package: SKIP installing the package: lexanta-editor is installed on this machine"
else
    dpkg -i "$deb" >"$work/dpkg" 2>&1 || fail "dpkg -i: $(cat "$work/dpkg")"
    /usr/bin/lexanta-tool --version >"$work/out" || fail "/usr/bin/lexanta-tool --version"
    grep -qx "lexanta-tool $(dpkg-deb -f "$deb" Version)" "$work/out" ||
        fail "installed version: $(cat "$work/out")"
    env -u DISPLAY /usr/bin/lexanta-tool print --layout list "$source/examples/english-german.lut" \
        -o "$work/list.pdf" || fail "/usr/bin/lexanta-tool print"
    HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen \
        timeout 5 /usr/bin/lexanta-editor "$source/examples/english-german.lut" 2>"$work/err"
    status=$?
    [ $status -eq 124 ] || fail "/usr/bin/lexanta-editor ended with $status: $(cat "$work/err")"
    dpkg -r lexanta-editor >"$work/dpkg" 2>&1 || fail "dpkg -r: $(cat "$work/dpkg")"
    [ -e /usr/bin/lexanta-tool ] && fail "dpkg -r left /usr/bin/lexanta-tool"
fi

finish deb_package
