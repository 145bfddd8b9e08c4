#!/usr/bin/env bash
# Cross-builds the Windows programs (sfxpack.exe, sfxtool.exe) and their
# tests with mingw-w64: scripts/build-windows.sh DIR [cmake options...]
# SFX_WINDOWS_ARCH=i686 builds the 32-bit programs (x86_64 by default).
# ctest --test-dir DIR then runs the x86-64 tests under Wine
# (scripts/deps.sh test).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
arch=${SFX_WINDOWS_ARCH:-x86_64}
case "$arch" in
  x86_64|i686) ;;
  *) echo "build-windows.sh: SFX_WINDOWS_ARCH is x86_64 or i686, not $arch" >&2; exit 2 ;;
esac
if ! out=$(cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-$arch.cmake" "$@" 2>&1); then
  echo "$out" >&2
  exit 1
fi
# What this platform leaves out (POSIX-only tests) is said.
grep -E '^-- (win32|SFX_PLATFORM)' <<<"$out" || true
cmake --build "$dir"
