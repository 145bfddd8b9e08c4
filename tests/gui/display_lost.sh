#!/usr/bin/env bash
# The display goes away under the editor (the X server ends): the unsaved
# text lands in sample.ini.recovered beside the document, one line on stderr
# says so, and the program ends with status 1. Run under xvfb-run: the test
# ends that server, found through its lock file.
# usage: display_lost.sh SFXPACK SCREENSHOT-DIR
set -euo pipefail
source "$(dirname "$0")/gui_lib.sh"
begin_e2e display-lost "$1" "" "" "$2"
number=${DISPLAY#:}
server=$(tr -d ' ' < "/tmp/.X${number%%.*}-lock") || fail "no lock file for display $DISPLAY"

mkdir "$work/project" && cd "$work/project"
printf '[Setup]\r\n' > sample.ini
"$sfxpack" 2> "$work/stderr" & pid=$!
wait_until 20 shown "Editor - sample.ini" || fail "no editor window; stderr: $(cat "$work/stderr")"
main=$(windows_named "Editor - sample.ini" | head -1)
xdotool windowfocus --sync "$main"
xdotool key --delay 30 x
wait_until 20 eval '[ "$(xdotool getwindowname "$main")" = "Editor - sample.ini*" ]' || fail "typing did not mark the text changed"

kill "$server"
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
