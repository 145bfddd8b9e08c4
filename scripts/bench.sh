#!/usr/bin/env bash
# Builds an optimised tree and runs the benchmarks: every Google Benchmark
# binary under bench/, then each folder's whole-process comparisons (run.sh).
# Not part of test.sh or CI: the figures depend on the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DSFX_BENCH=ON
for dir in bench/*/; do
  if [ -x "$dir/run.sh" ]; then
    echo "== ${dir%/} (whole process)"
    "$dir/run.sh" build-bench
  else
    for binary in build-bench/"${dir%/}"/bench_*; do
      [ -x "$binary" ] && { echo "== $binary"; "$binary"; }
    done
  fi
done
