#!/usr/bin/env bash
# sfxpack without a package: the editor's window opens; the About box comes
# from the context menu (right mouse button, and Alt+Space); Escape ends the
# program with status 0.
# usage: editor_e2e.sh SFXPACK SCREENSHOT-DIR
set -euo pipefail
sfxpack=$1
SHOT=$2/editor-e2e-failed.png
source "$(dirname "$0")/gui_lib.sh"

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME"
cd "$work"

about_once() {
    wait_until 20 count_is 1 "About" || fail "no About box ($1)"
    local box
    box=$(windows_named "About")
    geometry "$box"
    click "$box" $((WIDTH / 2)) $((HEIGHT - 14 - 13))
    wait_until 20 count_is 0 "About" || fail "the About box did not close ($1)"
}

"$sfxpack" & pid=$!
main=$(wait_window "Editor.*")
geometry "$main"

# Right mouse button: the menu opens at the pointer; its one item lies
# just below and right of it.
windows=$(toplevel_count)
xdotool mousemove --window "$main" 100 100 click 3
wait_until 20 toplevel_count_above "$windows" || fail "no menu on the right mouse button"
xdotool mousemove --window "$main" 115 110 click 1
about_once "right mouse button"

xdotool windowfocus --sync "$main"
xdotool key alt+space
wait_until 20 toplevel_count_above "$windows" || fail "no menu on Alt+Space"
xdotool key Down Return
about_once "Alt+Space"

xdotool windowfocus --sync "$main"
xdotool key Escape
wait_exit "$pid" 20
pid=
[ "$STATUS" -eq 0 ] || fail "sfxpack ended with status $STATUS after Escape"
echo "editor mode end to end: ok"
