#!/usr/bin/env bash
# Fails when a program imports a DLL that is not part of Windows itself.
# usage: check_imports.sh OBJDUMP PROGRAM.exe
set -uo pipefail
objdump=$1 exe=$2
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
if [ -z "$dlls" ]; then
  echo "FAIL: no import table read from $exe" >&2
  exit 1
fi
# Windows' own DLLs (msvcrt.dll is the system's C runtime, in every Windows).
system='^(kernel32|user32|gdi32|advapi32|shell32|ole32|comctl32|comdlg32|msvcrt|ws2_32|bcrypt|shlwapi|uxtheme|version)\.dll$'
others=$(grep -Ev "$system" <<<"$dlls")
if [ -n "$others" ]; then
  echo "FAIL: $exe needs DLLs Windows does not have:" $others >&2
  exit 1
fi
echo "imports:" $dlls
