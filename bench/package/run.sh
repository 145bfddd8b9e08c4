#!/usr/bin/env bash
# Whole-process comparisons for the package commands, as ratios measured in
# one run against cat moving the same bytes:
#   - sfxtool build of 1 GiB of payload   vs  cat STUB FILES > OUT
#   - sfxtool extract-all of that 1 GiB   vs  cat FILE > DIR/FILE for each file
#   - peak memory of the 1 GiB build      (/usr/bin/time -v)
#   - opening a package of 10,000 records and a 290 KB script (bench_package)
#   - many small files: build, ExtractAll and memory, and their growth from
#     1,000 to 100,000 files (many-files.sh)
# Each timing is the best of RUNS (default 3). Usage: run.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: run.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
runs=${RUNS:-3}
tool=$build/tools/sfxtool
work=$(mktemp -d "${TMPDIR:-/tmp}/sfx-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# The stub: the real program when it is built, else 1 MiB ending in zero bytes.
if [ -x "$build/tools/sfxpack" ]; then
  cp "$build/tools/sfxpack" stub
else
  { head -c $((1024 * 1024 - 16)) /dev/urandom; head -c 16 /dev/zero; } > stub
fi
mkdir payload
files=()
for i in 1 2 3 4 5 6 7 8; do
  head -c $((128 * 1024 * 1024)) /dev/urandom > "payload/part$i.bin"
  files+=("payload/part$i.bin")
done
{ printf '[Setup]\r\nOutputFile=out.bin\r\n[Files]\r\n'; printf '%s\r\n' "${files[@]}"; printf '[Tasks]\r\nExtractAll: CURDIR\\x\r\n'; } > setup.ini
cat stub "${files[@]}" > /dev/null   # into the page cache

now() { date +%s%N; }
# best NAME COMMAND...: runs the command RUNS times, prints the best in ns.
best() {
  local best=0 start took
  for _ in $(seq "$runs"); do
    rm -rf out.bin out.cat all cat-all
    sync
    start=$(now)
    "$@" > /dev/null 2>&1
    took=$(( $(now) - start ))
    if [ "$best" -eq 0 ] || [ "$took" -lt "$best" ]; then best=$took; fi
  done
  echo "$best"
}
cat_build() { cat stub "${files[@]}" > out.cat; }
tool_build() { "$tool" build setup.ini --stub stub; }
cat_extract() { mkdir cat-all; for f in "${files[@]}"; do cat "$f" > "cat-all/${f#payload/}"; done; }
tool_extract() { "$tool" extract-all built.bin all; }

bytes=$(( $(stat -c %s stub) + 8 * 128 * 1024 * 1024 ))
mib() { awk -v b="$bytes" -v ns="$1" 'BEGIN { printf "%.0f MiB/s", b / 1048576 / (ns / 1e9) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

t_cat=$(best cat_build)
t_build=$(best tool_build)
"$tool" build setup.ini --stub stub -o built.bin > /dev/null 2>&1
t_cat_x=$(best cat_extract)
t_extract=$(best tool_extract)
/usr/bin/time -v "$tool" build setup.ini --stub stub 2> time.txt > /dev/null || true
rss=$(awk '/Maximum resident/ { print $NF }' time.txt)

echo "build of 1 GiB:        sfxtool $(mib "$t_build"), cat $(mib "$t_cat"), ratio $(ratio "$t_cat" "$t_build") (goal >= 0.9)"
echo "extract-all of 1 GiB:  sfxtool $(mib "$t_extract"), cat $(mib "$t_cat_x"), ratio $(ratio "$t_cat_x" "$t_extract") (goal >= 0.9)"
echo "peak memory of build:  $((rss / 1024)) MiB ($rss KiB) (goal < 16 MiB)"
"$build/bench/package/bench_package" --benchmark_filter=OpenPackage
"$here/many-files.sh" "$build"
