#!/usr/bin/env bash
# sfxpack.exe is the stub of every Windows installer: a window program that
# needs only Windows' own DLLs, stripped, under its size budget, whose last
# 4 bytes are zero (never a package marker).
# usage: check_stub.sh OBJDUMP SFXPACK.EXE
set -euo pipefail
objdump=$1 stub=$2
budget=$((1536 * 1024))

size=$(stat -c %s "$stub")
[ "$size" -le "$budget" ] || { echo "FAIL: $stub is $size bytes, over its budget of $budget"; exit 1; }

last=$(tail -c 4 "$stub" | od -An -tx1 | tr -d ' \n')
[ "$last" = "00000000" ] || { echo "FAIL: $stub ends in $last, not in zero bytes"; exit 1; }

headers=$("$objdump" -p "$stub")
grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || { echo "FAIL: $stub is not a window program"; exit 1; }
! "$objdump" -h "$stub" | grep -q '\.debug_' || { echo "FAIL: $stub is not stripped"; exit 1; }

# The DLLs of the window side, and the system's C runtime.
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|uxtheme|msvcrt)\.dll$'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
others=$(grep -Ev "$allowed" <<<"$dlls" || true)
[ -z "$others" ] || { echo "FAIL: $stub needs" $others; exit 1; }
echo "sfxpack.exe: $size bytes (budget $budget), imports:" $dlls
