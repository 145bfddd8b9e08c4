#!/usr/bin/env bash
# sfxtool.exe builds a Windows installer with its default stub, the
# sfxpack.exe beside it, and the installer answers its own --list and
# --verify.
# usage: sfxtool_build.sh WINE_SH PREFIX SFXTOOL.exe
set -uo pipefail
source "$(dirname "$0")/wine_test_lib.sh"
printf 'packed\r\n' > data.txt
printf '%s\r\n' "[Setup]" "Title=Default stub" "[Files]" "data.txt" "[Tasks]" "ExtractAll: CURDIR\\out" > setup.ini

run "$sfxtool" build setup.ini -o setup.exe >/dev/null 2>"$work/err" || fail "build without --stub: $(cat "$work/err")"
listed=$(run ./setup.exe --list | tr -d '\r')
[ "$listed" = $'data.txt\t8' ] || fail "the installer lists: $listed"
run ./setup.exe --verify >/dev/null || fail "the installer does not verify itself"
echo "sfxtool.exe builds with the sfxpack.exe beside it: ok"
