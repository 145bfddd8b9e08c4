#!/usr/bin/env bash
# Without a display sfxpack says so in one line on stderr and ends with
# status 1, at once.
# usage: no_display.sh SFXPACK
set -uo pipefail
sfxpack=$1
check() { # check LABEL DISPLAY-VALUE
    local err status
    if [ -z "$2" ]; then
        err=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$sfxpack" 2>&1 >/dev/null)
    else
        err=$(env DISPLAY="$2" timeout 20 "$sfxpack" 2>&1 >/dev/null)
    fi
    status=$?
    [ "$status" -eq 1 ] || { echo "FAIL ($1): status $status"; exit 1; }
    [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && [[ $err == "sfxpack: "* ]] \
        || { echo "FAIL ($1): stderr was: $err"; exit 1; }
    echo "$1: $err"
}
check "DISPLAY unset" ""
check "no server there" ":9999.0"
