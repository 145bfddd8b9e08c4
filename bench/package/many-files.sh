#!/usr/bin/env bash
# Whole-process figures for packages of many small files, in one run:
#   - sfxtool build of 10,000 files of 4 KiB (script check included) vs
#     cat STUB FILES > OUT, as a ratio of times (goal <= 1.1)
#   - growth: build, list, verify and extract-all at 1,000, 10,000 and
#     100,000 files of 4 KiB (SIZES), with the ratio of each size to the one
#     before (10 means linear)
#   - peak memory of extract-all of 100,000 files (goal <= 32 MiB)
#   - peak memory of sfxtool pairs and lines over a script of many short
#     lines, as a multiple of the script's size (goal <= 10)
#   - the installer's ExtractAll: task pass vs CPackageFile::ExtractAll on the
#     same installer, in one process (bench_extract_all; goal <= 1.15)
# Each timing is the best of RUNS (default 3). Usage: many-files.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: many-files.sh BUILD_DIR}" && pwd)
runs=${RUNS:-3}
tool=${SFXTOOL:-$build/tools/sfxtool}
work=$(mktemp -d "${TMPDIR:-/tmp}/sfx-many.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

if [ -x "$build/tools/sfxpack" ]; then
  cp "$build/tools/sfxpack" stub
else
  { head -c $((1024 * 1024 - 16)) /dev/urandom; head -c 16 /dev/zero; } > stub
fi

now() { date +%s%N; }
# best COMMAND...: the best of RUNS runs in ns; out.bin and x/ are removed
# before each run, outside the timing.
best() {
  local best=0 start took
  for _ in $(seq "$runs"); do
    rm -rf out.bin out.cat x
    sync
    start=$(now)
    "$@" > /dev/null 2>&1
    took=$(( $(now) - start ))
    if [ "$best" -eq 0 ] || [ "$took" -lt "$best" ]; then best=$took; fi
  done
  echo "$best"
}
ms() { awk -v ns="$1" 'BEGIN { printf "%.0f", ns / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

# make_set N: N files of 4 KiB in set-N/, and a script set-N.ini naming them.
make_set() {
  local n=$1
  mkdir "set-$n"
  head -c $((n * 4096)) /dev/urandom | (cd "set-$n" && split -b 4096 -a 6 -d - f)
  { printf '[Setup]\r\nOutputFile=out.bin\r\n[Files]\r\n'
    ls "set-$n" | sed "s|^|set-$n/|; s|\$|\r|"
    printf '[Tasks]\r\nExtractAll: CURDIR\\x\r\n'; } > "set-$n.ini"
  find "set-$n" -type f -exec cat {} + > /dev/null   # into the page cache
}

# The 10,000-file build against cat.
sizes=${SIZES:-1000 10000 100000}
make_set 10000
mapfile -t files < <(ls set-10000 | sed 's|^|set-10000/|')
cat_build() { cat stub "${files[@]}" > out.cat; }
tool_build() { "$tool" build set-10000.ini --stub stub; }
t_cat=$(best cat_build)
t_build=$(best tool_build)
echo "build of 10,000 x 4 KiB: sfxtool $(ms "$t_build") ms, cat $(ms "$t_cat") ms, ratio $(ratio "$t_build" "$t_cat") (goal <= 1.1)"

# The installer's task pass against the reader's own ExtractAll.
"$tool" build set-10000.ini --stub stub -o many-10000.bin > /dev/null 2>&1
if [ -x "$build/bench/package/bench_extract_all" ]; then
  "$build/bench/package/bench_extract_all" many-10000.bin "$work/x"
  rm -rf x
fi

# Growth. A script naming more than about 15,000 such files is longer than
# the 299,998 bytes an installer reads, so sfxtool build refuses it (its check
# reports script-too-long); a package that large is written here directly, in
# the same layout, and only the reading commands are timed on it.
write_package() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
n, out = int(sys.argv[1]), sys.argv[2]
i32 = lambda v: struct.pack('<i', v)
with open('stub', 'rb') as f:
    stub = f.read()
with open(out, 'wb') as f:
    f.write(stub + i32(1983))
    body = bytes(4096)
    for i in range(n):
        name = b'f%06d' % i
        f.write(body + name + b'\0' + i32(len(name) + 1) + i32(len(body)) + i32(1984))
    for text in (b' Compiled : Jan. 01, 2026 00:00:00 AM', b'[Tasks]\r\nExtractAll: CURDIR\\x\r\n'):
        f.write(text + b'\0' + i32(len(text) + 1) + i32(1985))
PY
}
buildable=15000
for n in $sizes; do
  if [ "$n" -le "$buildable" ] && [ ! -d "set-$n" ]; then make_set "$n"; fi
done
printf '| files | build ms | list ms | verify ms | extract-all ms |\n|---|---|---|---|---|\n' > growth.md
declare -A prev=()
for n in $sizes; do
  r=$runs
  if [ "$n" -ge 100000 ]; then runs=1; fi
  if [ "$n" -le "$buildable" ]; then
    b=$(best "$tool" build "set-$n.ini" --stub stub)
    "$tool" build "set-$n.ini" --stub stub -o "many-$n.bin" > /dev/null 2>&1
  else
    b=""
    write_package "$n" "many-$n.bin"
  fi
  l=$(best "$tool" list "many-$n.bin")
  v=$(best "$tool" verify "many-$n.bin")
  e=$(best "$tool" extract-all "many-$n.bin" x)
  runs=$r
  row="| $n"
  for key in b l v e; do
    t=${!key}
    if [ -z "$t" ]; then row="$row | script too long"; continue; fi
    cell=$(ms "$t")
    if [ -n "${prev[$key]:-}" ]; then cell="$cell (×$(ratio "$t" "${prev[$key]}"))"; fi
    prev[$key]=$t
    row="$row | $cell"
  done
  echo "$row |" >> growth.md
done
cat growth.md

rm -rf x
last=${sizes##* }
echo "peak memory of extract-all of $last files: $(( $(peak_kib "$tool" extract-all "many-$last.bin" x) / 1024 )) MiB (goal <= 32 MiB)"
rm -rf x set-* many-*.bin

# A script of many short task lines, about 20 MB.
{ printf '[Files]\r\n'
  awk 'BEGIN { for (i = 0; i < 1500000; i++) print "a.txt\r" }'
  printf '[Tasks]\r\n'
  awk 'BEGIN { for (i = 0; i < 1500000; i++) print "Run: a P: b\r" }'; } > big.ini
size=$(stat -c %s big.ini)
for cmd in "pairs big.ini Tasks" "lines big.ini Files"; do
  # shellcheck disable=SC2086
  kib=$(peak_kib "$tool" $cmd)
  echo "peak memory of sfxtool $cmd: $((kib / 1024)) MiB for $((size / 1048576)) MiB of script, $(ratio $((kib * 1024)) "$size")x (goal <= 10)"
done
