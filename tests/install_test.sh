#!/bin/sh
# Installs a build folder into a temporary prefix and checks what a desktop
# needs from it: the program, a valid desktop entry that opens video files,
# the icon at every size, and the user guide with its pictures.
# Usage: tests/install_test.sh BUILD_FOLDER
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > /dev/null
[ -x "$prefix/bin/tellavox" ] || fail "no program in bin/"

entry=$prefix/share/applications/tellavox.desktop
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop entry not valid"
grep -q '^Exec=tellavox %f$' "$entry" || fail "desktop entry does not pass a file"
grep -q '^MimeType=.*video/mp4;' "$entry" || fail "desktop entry names no video types"
grep -q '^Icon=tellavox$' "$entry" || fail "desktop entry names another icon"

for size in 16 24 32 48 64 128 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x$size/apps/tellavox.png" ] || fail "no ${size}x$size icon"
done

guide=$prefix/share/doc/tellavox/guide
[ -s "$guide/index.html" ] || fail "no user guide"
pictures=$(sed -n 's/.*<img src="\([^"]*\)".*/\1/p' "$guide/index.html")
[ -n "$pictures" ] || fail "the user guide shows no pictures"
for picture in $pictures; do
  [ -s "$guide/$picture" ] || fail "the user guide's $picture is not installed"
done
echo "installed into a temporary prefix: everything in place"
