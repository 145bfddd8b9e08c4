#!/usr/bin/env bash
# Builds the programs and benchmarks optimised, then runs the benchmarks:
# every Google Benchmark binary under bench/, and a folder's whole-process
# comparisons (its run.sh) where it has them. Not part of test.sh or CI: the
# figures depend on the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSFX_BENCH=ON >/dev/null
targets=(sfxtool $(cmake --build build-bench --target help | grep -o '^\(sfxpack\|bench_[A-Za-z0-9_]*\):' | tr -d : | sort -u))
cmake --build build-bench --target "${targets[@]}"
# One failing benchmark does not hide the others' figures.
status=0
for dir in bench/*/; do
  dir=${dir%/}
  if [ -x "$dir/run.sh" ]; then
    echo "== $dir (whole process)"
    "$dir/run.sh" build-bench || status=1
  else
    for binary in build-bench/"$dir"/bench_*; do
      if [ -x "$binary" ]; then
        echo "== $binary"
        "$binary" || status=1
      fi
    done
  fi
done
exit $status
