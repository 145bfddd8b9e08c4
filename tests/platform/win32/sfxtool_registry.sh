#!/usr/bin/env bash
# sfxtool.exe's reg commands against Wine's registry, read back with reg.exe.
# usage: sfxtool_registry.sh WINE_SH PREFIX SFXTOOL.exe
set -uo pipefail
wine=$1 prefix=$2 sfxtool=$3
key="Software\\sfxpack-test\\run-$$-$RANDOM"
fail() { echo "FAIL: $*" >&2; exit 1; }
run() { "$wine" "$prefix" "$@"; }

run "$sfxtool" reg set-string HKEY_CURRENT_USER "$key" Plain "C:\\Program Files\\Demo" || fail "set-string"
run "$sfxtool" reg set-dword HKEY_CURRENT_USER "$key" Count -1 || fail "set-dword"
# Outside ASCII: the wide command line and REG_SZ in UTF-16 carry it both ways.
run "$sfxtool" reg set-string HKEY_CURRENT_USER "$key" "Grüße" "naïve ✓" || fail "set-string (UTF-8)"

listed=$(run reg query "HKCU\\$key" | tr -d '\r')
grep -Eq '^ +Plain +REG_SZ +C:\\Program Files\\Demo$' <<<"$listed" || fail "reg.exe does not show Plain: $listed"
grep -Eq '^ +Count +REG_DWORD +0xffffffff$' <<<"$listed" || fail "reg.exe does not show Count: $listed"

got=$(run "$sfxtool" reg query HKEY_CURRENT_USER "$key" "Grüße" | tr -d '\r')
[ "$got" = '{"name":"Grüße","type":"REG_SZ","data":"naïve ✓"}' ] || fail "UTF-8 round trip: $got"

# Missing values fail with status 1; the folder store does not exist here.
run "$sfxtool" reg query HKEY_CURRENT_USER "$key" Missing >/dev/null 2>&1
[ $? -eq 1 ] || fail "a missing value is not status 1"
err=$(run "$sfxtool" reg --store somewhere query HKEY_CURRENT_USER "$key" 2>&1 >/dev/null)
status=$?
[ $status -eq 2 ] && grep -q -- "--store" <<<"$err" || fail "--store: status $status, '$err'"

run reg delete "HKCU\\$key" /f >/dev/null 2>&1
echo "registry: ok"
