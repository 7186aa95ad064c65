#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: every file in its place, the desktop entry, the
# metainfo and the MIME type valid, both installed programs run. Usage: installed_tree.sh BUILD_DIR
set -u
build=$1
source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/tests/cli/lib/common.bash"
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
for file in bin/lexanta-editor bin/lexanta-tool libexec/lexanta/lexanta-tool-print \
    share/lexanta-editor/help/editor.html \
    share/applications/org.lexanta.Editor.desktop share/mime/packages/lexanta-editor.xml \
    share/metainfo/org.lexanta.Editor.metainfo.xml \
    share/icons/hicolor/scalable/apps/lexanta-editor.svg \
    share/icons/hicolor/48x48/apps/lexanta-editor.png \
    share/icons/hicolor/256x256/apps/lexanta-editor.png \
    share/man/man1/lexanta-editor.1.gz share/man/man1/lexanta-tool.1.gz \
    share/doc/lexanta-editor/copyright share/doc/lexanta-editor/changelog.gz; do
    [ -s "$prefix/$file" ] || fail "not installed: $file"
done

desktop-file-validate "$prefix/share/applications/org.lexanta.Editor.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/org.lexanta.Editor.metainfo.xml" >"$work/as" ||
    fail "metainfo: $(cat "$work/as")"
grep -q "version=\"$("$prefix/bin/lexanta-tool" --version | cut -d' ' -f2)\"" \
    "$prefix/share/metainfo/org.lexanta.Editor.metainfo.xml" || fail "metainfo: release version"
# The MIME database takes the type; a .lut is known by its glob and by its first line.
XDG_DATA_DIRS=$prefix/share update-mime-database "$prefix/share/mime" 2>"$work/mime" && [ ! -s "$work/mime" ] ||
    fail "MIME type: $(cat "$work/mime")"
grep -q '^application/x-lexanta-vocabulary:\*\.lut$' "$prefix/share/mime/globs" || fail "MIME glob"
grep -aq 'Vocabulary Format 1' "$prefix/share/mime/magic" || fail "MIME magic"
grep -q '^MimeType=application/x-lexanta-vocabulary;$' \
    "$prefix/share/applications/org.lexanta.Editor.desktop" || fail "the entry opens the type"
for page in lexanta-editor lexanta-tool; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" \
        >/dev/null 2>"$work/man" && [ ! -s "$work/man" ] || fail "man $page: $(cat "$work/man")"
done

"$prefix/bin/lexanta-tool" info "$source/examples/english-russian.lut" >/dev/null ||
    fail "installed lexanta-tool"
env -u DISPLAY "$prefix/bin/lexanta-tool" print --layout cards "$source/examples/english-russian.lut" \
    -o "$work/cards.pdf" && [ "$(head -c 5 "$work/cards.pdf")" = "%PDF-" ] ||
    fail "installed lexanta-tool print"
env -u DISPLAY "$prefix/bin/lexanta-editor" --version >"$work/out" 2>&1 &&
    grep -qx 'lexanta-editor [0-9.]*' "$work/out" || fail "editor --version: $(cat "$work/out")"
# Started with a file it runs until it is stopped: 124 is timeout's own status.
HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen \
    timeout 5 "$prefix/bin/lexanta-editor" "$source/examples/english-russian.lut" 2>"$work/err"
status=$?
[ $status -eq 124 ] || fail "the installed editor ended with $status: $(cat "$work/err")"

# Built with Debian's hardening (cmake/Hardening.cmake): position-independent, the relocations
# read-only and bound at start, stack protectors. (_FORTIFY_SOURCE leaves a trace only where a
# call could be checked, so it is not looked for.)
for binary in "$prefix"/bin/lexanta-editor "$prefix"/bin/lexanta-tool \
    "$prefix"/libexec/lexanta/lexanta-tool-print; do
    program=$(basename "$binary")
    readelf -h "$binary" | grep -q 'Type: *DYN' || fail "$program is not position-independent"
    readelf -l "$binary" | grep -q GNU_RELRO || fail "$program has no RELRO segment"
    readelf -d "$binary" | grep -q 'FLAGS.*NOW' || fail "$program is not bound at start"
    readelf --dyn-syms -W "$binary" | grep -q __stack_chk_fail ||
        fail "$program has no stack protector"
done

finish installed_tree
