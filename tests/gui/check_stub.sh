#!/usr/bin/env bash
# The released sfxpack is the stub of every installer: it stays under 1 MiB,
# needs no library beyond libc and the X11 client libraries, and never ends
# in a package marker (its last 4 bytes are zero).
# usage: check_stub.sh SFXPACK
set -euo pipefail
stub=$1

size=$(stat -c %s "$stub")
[ "$size" -lt 1048576 ] || { echo "FAIL: $stub is $size bytes, 1 MiB or more"; exit 1; }

last=$(tail -c 4 "$stub" | od -An -tx1 | tr -d ' \n')
[ "$last" = "00000000" ] || { echo "FAIL: $stub ends in $last, not in zero bytes"; exit 1; }

! readelf -S "$stub" | grep -q '\.symtab' || { echo "FAIL: $stub is not stripped"; exit 1; }

allowed='^(libc\.so\.6|libm\.so\.6|ld-linux-x86-64\.so\.2|libX11\.so\.6|libXext\.so\.6|libXft\.so\.2|libXrender\.so\.1|libXfixes\.so\.3|libXcursor\.so\.1|libXinerama\.so\.1|libfontconfig\.so\.1)$'
needed=$(readelf -d "$stub" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p')
status=0
for lib in $needed; do
    if ! [[ $lib =~ $allowed ]]; then
        echo "FAIL: $stub needs $lib"
        status=1
    fi
done
[ $status -eq 0 ] && echo "sfxpack: $size bytes, needs only: $(echo $needed)"
exit $status
