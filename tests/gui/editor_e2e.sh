#!/usr/bin/env bash
# sfxpack without a package, as a user meets it. In an empty folder the
# editor shows the built-in sample, unsaved; Ctrl+S writes it with CR LF line
# ends; typing marks the caption with one "*"; Escape and the close box ask
# to save, and Cancel keeps the window. With a sample.ini there, the editor
# opens it; Add File takes a path from another folder through the file
# dialog; Ctrl+B still reads the relative [Files] and OutputFile from the
# script's folder and builds an installer that `sfxtool verify` accepts, and
# Yes starts it on its setup screen. The About box comes from the context
# menu and Alt+Space. Ctrl+K lists a script's findings, and Enter puts the
# caret on the first one's line.
# usage: editor_e2e.sh SFXPACK SFXTOOL XCLOSE SCREENSHOT-DIR
set -euo pipefail
source "$(dirname "$0")/gui_lib.sh"
begin_e2e editor-e2e "$@"
mkdir -p "$work/empty" "$work/project" "$work/out"

title_is() { # title_is WINDOW TITLE
    [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]
}
wait_title() {
    wait_until 20 title_is "$1" "$2" || fail "title is '$(xdotool getwindowname "$1")', not '$2'"
}
# key_to WINDOW KEYS...: keys typed into a window.
key_to() {
    local w=$1
    shift
    xdotool windowfocus --sync "$w"
    xdotool key --delay 30 "$@"
}
# Every line ends in CR LF.
crlf_only() {
    [ "$(tr -cd '\n' < "$1" | wc -c)" -eq "$(grep -c $'\r$' "$1")" ]
}
# answer TITLE KEY WHAT: the one box titled TITLE shows, takes KEY, and goes.
answer() {
    wait_until 60 count_is 1 "$1" || fail "no $3"
    key_to "$(windows_named "$1")" "$2"
    wait_until 20 count_is 0 "$1" || fail "the $3 did not close"
}

# --- An empty folder: the built-in sample, not yet saved.
cd "$work/empty"
"$sfxpack" & pid=$!
main=$(wait_window "Editor - sample.ini\\*")

windows=$(toplevel_count)
xdotool mousemove --window "$main" 300 300 click 3
wait_until 20 toplevel_count_above "$windows" || fail "no menu on the right mouse button"
xdotool mousemove --window "$main" 315 310 click 1
answer About Return "About box from the right mouse button"
key_to "$main" alt+space
wait_until 20 toplevel_count_above "$windows" || fail "no menu on Alt+Space"
xdotool key Down Return
answer About Return "About box from Alt+Space"

key_to "$main" ctrl+s
wait_title "$main" "Editor - sample.ini"
[ "$(grep -c '' sample.ini)" -eq 31 ] && crlf_only sample.ini || fail "sample.ini: $(od -c sample.ini | head -5)"
saved=$(cat sample.ini)
key_to "$main" ctrl+shift+s
answer "Save As" Escape "Save As dialog on Ctrl+Shift+S"
wait_title "$main" "Editor - sample.ini"

xdotool mousemove --window "$main" 60 45 click 1
key_to "$main" x
wait_title "$main" "Editor - sample.ini*"
key_to "$main" y z
sleep 0.3
wait_title "$main" "Editor - sample.ini*"

# Escape asks; Cancel keeps the window and the text.
key_to "$main" Escape
answer Editor Escape "save prompt on Escape"
kill -0 "$pid" 2>/dev/null || fail "Cancel ended the editor"
title_is "$main" "Editor - sample.ini*" || fail "Cancel changed the caption"

# The close box asks too; No ends without saving.
"$xclose" "$main" || fail "cannot send the close request"
answer Editor n "save prompt on the close box"
wait_exit
[ "$(cat sample.ini)" = "$saved" ] || fail "No saved the changes"

# --- A project folder with its sample.ini, whose relative paths are the
# script's: build and start an installer after Add File has moved the
# current folder elsewhere.
cd "$work/project"
mkdir -p "$work/other" sub
head -c 3000 /dev/urandom > sub/app.bin
printf 'read me\n' > "$work/other/notes.txt"
printf '%s\r\n' "[Setup]" "WindowTitle=Wire E2E Setup" "Title=Wire E2E" "OK=Install" \
    "OutputFile=../out/setup.bin" "" "[Files]" "sub\\app.bin" "" \
    "[Tasks]" "ExtractAll: DSKDIR\\wire" > sample.ini
"$sfxpack" & pid=$!
main=$(wait_window "Editor - sample.ini")

windows=$(toplevel_count)
key_to "$main" alt+a
wait_until 20 toplevel_count_above "$windows" || fail "no Archive menu on Alt+A"
xdotool key a
wait_until 20 count_is 1 "Add File" || fail "no file dialog for Add File"
# A full path typed works with the desktop's chooser and with FLTK's own.
xdotool windowfocus --sync "$(windows_named "Add File")"
xdotool key ctrl+a
xdotool type --delay 20 "$work/other/notes.txt"
xdotool key Return
wait_until 20 count_is 0 "Add File" || fail "the file dialog did not close"
wait_title "$main" "Editor - sample.ini*"
key_to "$main" ctrl+s
wait_title "$main" "Editor - sample.ini"
grep -q "^\\[Files\\]"$'\r'"\$" sample.ini && grep -qx "$work/other/notes.txt"$'\r' sample.ini \
    || fail "Add File did not put the path into [Files]: $(cat sample.ini)"

key_to "$main" ctrl+b
answer Editor Return "question after Create New Archive"
"$sfxtool" verify "$work/out/setup.bin" >/dev/null || fail "sfxtool verify failed on the new installer"
listed=$("$sfxtool" list "$work/out/setup.bin")
[[ $listed == *app.bin* && $listed == *notes.txt* ]] || fail "the installer holds: $listed"
setup=$(wait_window "Wire E2E Setup")
"$xclose" "$setup"
wait_until 20 count_is 0 "Wire E2E Setup" || fail "the new installer did not close"

"$xclose" "$main"
wait_exit
# --- Check Script: the list, and the caret on the picked finding's line.
mkdir -p "$work/check"
cd "$work/check"
printf '%s\r\n' "[Setup]" "Size=400" "[Tasks]" "MesageBox: hi" > sample.ini
"$sfxpack" & pid=$!
main=$(wait_window "Editor - sample.ini")
key_to "$main" ctrl+k
answer "Check Script" Return "list of findings on Ctrl+K"
key_to "$main" X ctrl+s
wait_title "$main" "Editor - sample.ini"
[ "$(sed -n 4p sample.ini)" = $'XMesageBox: hi\r' ] || fail "the caret was not on the finding's line: $(cat sample.ini)"
"$xclose" "$main"
wait_exit

# --- A script named on the command line opens in the editor.
"$sfxpack" "$work/other/notes.txt" & pid=$!
main=$(wait_window "Editor - notes.txt")
"$xclose" "$main"
wait_exit
echo "editor mode end to end: ok"
