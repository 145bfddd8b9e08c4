#!/usr/bin/env bash
# The display goes away under the editor (the X server ends): the unsaved
# text lands in sample.ini.recovered beside the document, one line on stderr
# says so, and the program ends with status 1. It runs its own X server, as
# the test ends it.
# usage: display_lost.sh SFXPACK SCREENSHOT-DIR
set -euo pipefail
source "$(dirname "$0")/gui_lib.sh"
begin_e2e display-lost "$1" "" "" "$2"
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; end_e2e' EXIT

Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4> "$work/display" 2>/dev/null & server=$!
wait_until 20 test -s "$work/display" || fail "the X server did not start"
export DISPLAY=:$(head -1 "$work/display")

mkdir "$work/project" && cd "$work/project"
printf '[Setup]\r\n' > sample.ini
"$sfxpack" 2> "$work/stderr" & pid=$!
main=$(wait_window "Editor - sample.ini")
xdotool windowfocus --sync "$main"
xdotool key --delay 30 x
wait_until 20 eval '[ "$(xdotool getwindowname "$main")" = "Editor - sample.ini*" ]' || fail "typing did not mark the text changed"

kill "$server"; wait "$server" 2>/dev/null || true; server=
wait_until 20 eval '! kill -0 "$pid" 2>/dev/null' || fail "the editor outlived its display"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 1 ] || fail "status $status, not 1"
[ "$(cat "$work/stderr")" = "sfxpack: lost the connection to the X display; the unsaved script is in $work/project/sample.ini.recovered" ] \
    || fail "stderr: $(cat "$work/stderr")"
[ "$(cat sample.ini.recovered)" = $'x[Setup]\r' ] || fail "recovered: $(od -c sample.ini.recovered)"
[ "$(cat sample.ini)" = $'[Setup]\r' ] || fail "the document itself changed"
echo "display lost: ok"
