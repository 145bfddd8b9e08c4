#!/usr/bin/env bash
# Cross-builds the Windows programs (sfxtool.exe) and their tests with
# mingw-w64: scripts/build-windows.sh DIR [cmake options...]
# ctest --test-dir DIR then runs the tests under Wine (scripts/deps.sh test).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
if ! out=$(cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" "$@" 2>&1); then
  echo "$out" >&2
  exit 1
fi
# What this platform leaves out (sfxpack.exe, POSIX-only tests) is said.
grep -E '^-- (win32|SFX_PLATFORM)' <<<"$out" || true
cmake --build "$dir"
