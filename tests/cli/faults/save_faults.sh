#!/usr/bin/env bash
# lexanta-tool save and export against targets that cannot be written: each fails with
# status 1 naming the file and the reason, leaves the target as it was (no device or FIFO
# is replaced) and leaves no temp file. Writes that work keep the replaced file's mode
# and owner, create their temp file readable by its owner alone, follow a symbolic link
# even to a file that does not exist yet, and reach a FIFO's reader.
set -u
tool=$1
data=$2
shim=$3
mode_shim=$4
source "$(dirname "$0")/../lib/common.bash"

# As root, permissions bind nobody: the unwritable cases run as nobody, with their own
# copy of the tool and the input in a folder nobody can reach.
chmod 755 "$work"
mkdir "$work/bin"
cp "$tool" "$work/bin/lexanta-tool"
tool=$work/bin/lexanta-tool
src=$work/animals.lut
cp "$data/animals.lut" "$src"
chmod 644 "$src"
as_user() {
    if [ "$(id -u)" -eq 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; else "$@"; fi
}
user_dir() { # a folder the user of as_user may write
    mkdir -p "$1"
    [ "$(id -u)" -eq 0 ] && chown 65534:65534 "$1"
    return 0
}
# As root, a faulty writer would replace the system's devices: root uses nodes of its own.
full=/dev/full
null=/dev/null
if [ "$(id -u)" -eq 0 ] && mknod -m 666 "$work/full" c 1 7 && mknod -m 666 "$work/null" c 1 3; then
    full=$work/full
    null=$work/null
fi
# A vocabulary of some 20 kB for the size limit.
seq 1 2000 | sed 's/.*/word&\tWort&/' > "$work/big.txt"
"$tool" import --format tab2 "$work/big.txt" -o "$work/big.lut" || fail "making the large input"

snapshot() { # type, inode, size and contents of a path
    stat -c '%F %i %s %t:%T' "$1" 2>/dev/null
    if [ -f "$1" ]; then md5sum < "$1"; fi
}
# fails_cleanly WHAT TARGET REASON COMMAND...
fails_cleanly() {
    local what=$1 target=$2 reason=$3
    shift 3
    local before
    before=$(snapshot "$target")
    expect_status 1 "$what" "$@"
    grep -qF -- "$target: $reason" "$work/err" ||
        fail "$what: message '$(cat "$work/err")' does not say '$target: $reason'"
    [ "$(snapshot "$target")" = "$before" ] || fail "$what: $target changed"
    if ls -A "$(dirname "$target")" | grep -q '\.lexanta-'; then fail "$what: temp file left"; fi
}

user_dir "$work/ro"
cp "$src" "$work/ro/old.lut"
chmod 444 "$work/ro/old.lut"
chmod 555 "$work/ro"
[ "$(id -u)" -eq 0 ] && chown 65534:65534 "$work/ro/old.lut"
cp "$src" "$work/ro/writable.lut"
[ "$(id -u)" -eq 0 ] && chown 65534:65534 "$work/ro/writable.lut"
user_dir "$work/rw"
cp "$src" "$work/rw/locked.lut"
chmod 444 "$work/rw/locked.lut"
mkdir "$work/dir.lut"
mkfifo "$work/pipe"
for command in "save $src" "export --format html $src"; do
    # shellcheck disable=SC2086 # the command's words
    set -- $command
    fails_cleanly "$1: read-only folder, old file" "$work/ro/old.lut" "Permission denied" \
        as_user "$tool" "$@" -o "$work/ro/old.lut"
    fails_cleanly "$1: read-only folder, new file" "$work/ro/new.lut" "Permission denied" \
        as_user "$tool" "$@" -o "$work/ro/new.lut"
    # A file that may be written in a folder that may not: it is not rewritten in place, and the
    # message says why.
    fails_cleanly "$1: writable file, read-only folder" "$work/ro/writable.lut" \
        "Permission denied: the folder $work/ro cannot be written" \
        as_user "$tool" "$@" -o "$work/ro/writable.lut"
    fails_cleanly "$1: read-only file" "$work/rw/locked.lut" "Permission denied" \
        as_user "$tool" "$@" -o "$work/rw/locked.lut"
    fails_cleanly "$1: missing folder" "$work/missing/a.lut" "No such file or directory" \
        "$tool" "$@" -o "$work/missing/a.lut"
    fails_cleanly "$1: folder" "$work/dir.lut" "Is a directory" "$tool" "$@" -o "$work/dir.lut"
    fails_cleanly "$1: full device" "$full" "No space left on device" "$tool" "$@" -o "$full"
    fails_cleanly "$1: FIFO nobody reads" "$work/pipe" "No program is reading from this pipe" \
        "$tool" "$@" -o "$work/pipe"
    cp "$work/big.lut" "$work/limited.lut"
    fails_cleanly "$1: file size limit" "$work/limited.lut" "File too large" \
        bash -c 'ulimit -f 4 && exec "$0" "$@"' "$tool" "${@/$src/$work/big.lut}" -o "$work/limited.lut"
    cp "$src" "$work/shim.lut"
    fails_cleanly "$1: full disk (write shim)" "$work/shim.lut" "No space left on device" \
        env LD_PRELOAD="$shim" LEXANTA_SHIM_SPACE=100 \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$tool" "$@" -o "$work/shim.lut"
done

# A full small file system, where one can be mounted.
mkdir "$work/tmpfs"
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=64k tmpfs "$work/tmpfs" 2>/dev/null; then
    cp "$src" "$work/tmpfs/full.lut"
    dd if=/dev/zero of="$work/tmpfs/filler" bs=4k 2>/dev/null
    fails_cleanly "save: full disk (tmpfs)" "$work/tmpfs/full.lut" "No space left on device" \
        "$tool" save "$work/big.lut" -o "$work/tmpfs/full.lut"
    umount "$work/tmpfs"
else
    echo "full tmpfs: not root or no mount; the write shim stands in"
fi

# Writes that work: a FIFO's reader gets the bytes and the FIFO stays; the null device stays.
cat "$work/pipe" > "$work/from-pipe" &
reader=$!
sleep 0.2
expect_status 0 "save to a FIFO that is read" "$tool" save "$src" -o "$work/pipe"
wait $reader
cmp -s "$src" "$work/from-pipe" || fail "the FIFO's reader did not get the vocabulary"
[ -p "$work/pipe" ] || fail "the FIFO was replaced"
expect_status 0 "save to the null device" "$tool" save "$src" -o "$null"
[ -c "$null" ] || fail "the null device was replaced"

# A replaced file keeps its mode (and, as root, its owner); a hard link keeps the old
# contents, a symbolic link stays a link to the new file.
cp "$work/big.lut" "$work/kept.lut"
chmod 640 "$work/kept.lut"
[ "$(id -u)" -eq 0 ] && chown 65534:65534 "$work/kept.lut"
owner=$(stat -c '%u:%g %a' "$work/kept.lut")
ln "$work/kept.lut" "$work/hard.lut"
ln -s kept.lut "$work/link.lut"
expect_status 0 "save through a symbolic link" "$tool" save "$src" -o "$work/link.lut"
[ "$(stat -c '%u:%g %a' "$work/kept.lut")" = "$owner" ] ||
    fail "owner and mode $(stat -c '%u:%g %a' "$work/kept.lut"), wanted $owner"
[ -L "$work/link.lut" ] || fail "the symbolic link was replaced"
cmp -s "$src" "$work/kept.lut" || fail "the linked file was not written"
cmp -s "$work/big.lut" "$work/hard.lut" || fail "the hard link lost the old contents"
# A link to a file that does not exist yet stays a link; the file it names is made.
ln -s made.lut "$work/dangling.lut"
expect_status 0 "save through a dangling link" "$tool" save "$src" -o "$work/dangling.lut"
[ -L "$work/dangling.lut" ] || fail "the dangling link was replaced"
cmp -s "$src" "$work/made.lut" || fail "the file the link names was not made"
if ls -A "$work" | grep -q '\.lexanta-'; then fail "temp file left after the saves"; fi

# The temp file is created readable by its owner alone, for a private file and a new one; a
# new file then gets the mode any program gives it.
cp "$src" "$work/private.lut"
chmod 600 "$work/private.lut"
for target in private.lut fresh.lut; do
    rm -f "$work/modes"
    env LD_PRELOAD="$mode_shim" LEXANTA_SHIM_MODES="$work/modes" \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" \
        "$tool" save "$src" -o "$work/$target" 2>"$work/err" || fail "saving $target: $(cat "$work/err")"
    [ "$(sort -u "$work/modes")" = 600 ] || fail "$target: temp file created with mode $(cat "$work/modes")"
done
[ "$(stat -c %a "$work/private.lut")" = 600 ] || fail "private.lut lost its mode"
[ "$(stat -c %a "$work/fresh.lut")" = "$(printf '%o' $((0666 & ~$(umask))))" ] ||
    fail "fresh.lut has mode $(stat -c %a "$work/fresh.lut")"

finish "save faults"
