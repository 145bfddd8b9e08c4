#!/usr/bin/env bash
# Every header a Windows source may include beside <windows.h> (the platform
# interfaces and the logic's headers) must live beside it: compiled after
# <windows.h>, <commctrl.h> and <richedit.h> with the Windows compiler, and
# using no name those headers define as a macro. The second check matters as
# much as the first: a method named like a Win32 macro (SetWindowText)
# compiles, silently renamed to SetWindowTextA in some sources only.
#
# usage: windows_headers.sh COMPILER SOURCE_DIR GENERATED_DIR
set -uo pipefail
cxx=$1 src=$2 gen=$3

if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "FAIL: no Windows compiler (x86_64-w64-mingw32-g++): scripts/deps.sh test installs it" >&2
  exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '#include <windows.h>\n#include <commctrl.h>\n#include <richedit.h>\n' >"$tmp/system.h"
if ! "$cxx" -std=c++20 -E -dM -x c++ "$tmp/system.h" >"$tmp/defines"; then
  echo "FAIL: $cxx cannot read <windows.h>" >&2
  exit 1
fi
# Precompiled once: each header's unit then costs only the header itself.
"$cxx" -std=c++20 -Wall -Wextra -Werror -x c++-header "$tmp/system.h" -o "$tmp/system.h.gch" || exit 1
awk '{ sub(/\(.*/, "", $2); print $2 }' "$tmp/defines" | sort -u >"$tmp/macros"

cd "$src" || exit 1
failed=0
count=0
for header in platform/*.h app/*.h editor/*.h installer/*.h package/*.h script/*.h; do
  count=$((count + 1))
  printf '#include "%s"\n#include "%s"\n' "$tmp/system.h" "$header" >"$tmp/unit.cpp"
  if ! "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I "$src" -I "$gen" "$tmp/unit.cpp" 2>"$tmp/errors"; then
    echo "FAIL: $header does not compile after <windows.h>:" >&2
    head -20 "$tmp/errors" >&2
    failed=1
  fi
  # The header's own names: comments and string literals left out.
  names=$("$cxx" -fpreprocessed -E -P -x c++ "$header" 2>/dev/null |
    sed -E 's/"([^"\\]|\\.)*"//g' | grep -oE '\b[A-Za-z_][A-Za-z0-9_]*\b' | sort -u | comm -12 - "$tmp/macros")
  if [ -n "$names" ]; then
    echo "FAIL: $header uses names <windows.h> defines as macros:" $names >&2
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "$count headers live beside <windows.h>"
exit "$failed"
