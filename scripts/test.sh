#!/usr/bin/env bash
# Sets up and runs every test: the RelWithDebInfo and Release builds' tests,
# the Windows build's under Wine, the same tests under AddressSanitizer +
# UndefinedBehaviorSanitizer, and the package reader's fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test

# Warnings are errors here (SFX_WERROR); users' builds only warn.
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSFX_TESTS=ON -DSFX_BENCH=ON -DSFX_WERROR=ON
ctest --test-dir build --output-on-failure -j2
# What a user installs: the install tree and the Debian package.
tests/install/check_install.sh build

# The configuration users and packagers build, tested as well.
scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DSFX_WERROR=ON -DSFX_BENCH=OFF
ctest --test-dir build-release --output-on-failure -j2

# The Windows programs, cross-built with mingw-w64; their tests run under
# Wine (tests/platform/win32/wine.sh), and without Wine they fail. The
# end-to-end tests build Windows installers with the Linux sfxtool.
scripts/build-windows.sh build-win -DCMAKE_BUILD_TYPE=Release -DSFX_WERROR=ON \
  -DSFX_HOST_SFXTOOL="$PWD/build-release/tools/sfxtool"
ctest --test-dir build-win --output-on-failure -j2 --no-tests=error
# The 32-bit Windows programs are built and the stub checked; this machine
# kind cannot run them.
SFX_WINDOWS_ARCH=i686 scripts/build-windows.sh build-win32 -DCMAKE_BUILD_TYPE=Release -DSFX_WERROR=ON -DSFX_TESTS=OFF
bash tests/platform/win32/check_stub.sh i686-w64-mingw32-objdump build-win32/tools/sfxpack.exe

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DSFX_SANITIZE=ON -DSFX_BENCH=OFF -DSFX_WERROR=ON
ctest --test-dir build-asan --output-on-failure -j2

# The package reader's fuzzer: about a minute on a copy of the seed corpus (what
# it adds stays in the build tree); a crash or sanitizer finding fails the run.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSFX_FUZZ=ON -DSFX_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_package
rm -rf build-fuzz/corpus && cp -r tests/fuzz/corpus build-fuzz/corpus
build-fuzz/fuzz/fuzz_package -max_total_time=60 -print_final_stats=1 -artifact_prefix=build-fuzz/ build-fuzz/corpus
