#!/usr/bin/env bash
# sfxtool.exe extract-all under Wine, into a folder where a Linux symbolic
# link has the name of a packed file: the link is replaced by the file, and
# the file it led to (outside the folder) keeps its contents. Stored names
# that Windows reads as a stream of another file or as a device are refused
# with the reader's message, and nothing is left under them.
# usage: extract_over_links.sh WINE_SH PREFIX SFXTOOL.exe
set -uo pipefail
source "$(dirname "$0")/wine_test_lib.sh"
printf 'packed' > payload.txt
printf 'stream' > 'notes.txt:hidden'
printf 'device' > 'COM¹'
printf '%s\r\n' "[Setup]" "[Files]" "payload.txt" "notes.txt:hidden" "COM¹" > setup.ini
run "$sfxtool" build setup.ini --stub "$sfxtool" -o setup.exe >/dev/null 2>"$work/err" || fail "build: $(cat "$work/err")"

mkdir out
printf 'victim' > victim.txt
ln -s ../victim.txt out/payload.txt
run "$sfxtool" extract-all setup.exe out >/dev/null 2>"$work/err" && fail "extract-all succeeded with refused names"
err=$(tr -d '\r' < "$work/err")

[ "$(cat victim.txt)" = victim ] || fail "the file the link led to was changed: '$(cat victim.txt)'"
[ ! -L out/payload.txt ] || fail "the link is still there: $(readlink out/payload.txt)"
[ "$(cat out/payload.txt)" = packed ] || fail "out/payload.txt holds '$(cat out/payload.txt)'"
for name in 'notes.txt:hidden' 'COM¹'; do
  grep -qF "Cannot create out/$name: it is not a regular file." <<<"$err" || fail "no refusal of $name: $err"
done
left=$(ls -A out)
[ "$left" = payload.txt ] || fail "out holds: $left"
echo "extract over links and hostile names: ok"
