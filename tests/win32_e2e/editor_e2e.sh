#!/usr/bin/env bash
# sfxpack.exe without a package, as a user meets it under Wine. In an empty
# folder it shows the built-in sample, unsaved; Ctrl+S writes it with CR LF
# line ends, and a line typed at its end is saved with CR LF too. In a
# project folder Ctrl+B builds an installer from the script's relative
# paths that the Linux sfxtool verifies, and Yes starts it through the shell.
# usage: editor_e2e.sh WINE_SH SFXPACK_EXE SFXTOOL SCREENSHOT-DIR README
set -euo pipefail
source "$(dirname "$0")/wine_lib.sh"
begin_wine_e2e win32-editor-e2e "$@"
mkdir -p "$work/empty" "$work/project/sub" "$work/out"

# Every line ends in CR LF.
crlf_only() {
    [ "$(tr -cd '\n' < "$1" | wc -c)" -eq "$(grep -c $'\r$' "$1")" ]
}

# --- An empty folder: the built-in sample.
cd "$work/empty"
wine_start "$sfxpack"
main=$(wait_window "Editor - sample.ini\\*")
key_to "$main" ctrl+s
wait_title "$main" "Editor - sample.ini"
[ "$(grep -c '' sample.ini)" -eq 31 ] && crlf_only sample.ini || fail "sample.ini: $(od -c sample.ini | head -5)"

# The first key typed goes where the caret is, not over a selected script.
key_to "$main" ctrl+End semicolon space a d d e d Return
wait_title "$main" "Editor - sample.ini*"
key_to "$main" ctrl+s
wait_title "$main" "Editor - sample.ini"
[ "$(grep -c '' sample.ini)" -eq 32 ] && crlf_only sample.ini || fail "sample.ini after typing: $(tail -c 80 sample.ini | od -c)"
[ "$(tail -n 1 sample.ini)" = $'; added\r' ] || fail "the typed line is '$(tail -n 1 sample.ini | od -c)'"
key_to "$main" Escape
wait_exit

# --- A project folder: Ctrl+B builds from the script's relative paths.
cd "$work/project"
head -c 3000 /dev/urandom > sub/app.bin
printf '%s\r\n' "[Setup]" "WindowTitle=Wire E2E Setup" "Title=Wire E2E" "OK=Install" \
    "OutputFile=..\\out\\setup.exe" "" "[Files]" "sub\\app.bin" "" \
    "[Tasks]" "ExtractAll: CURDIR\\wire" > sample.ini
wine_start "$sfxpack"
main=$(wait_window "Editor - sample.ini")
key_to "$main" ctrl+b
answer Editor "" y "question after Create New Archive"
"$sfxtool" verify "$work/out/setup.exe" >/dev/null || fail "sfxtool verify failed on the new installer"
[[ $("$sfxtool" list "$work/out/setup.exe") == *app.bin* ]] || fail "app.bin is not in the new installer"
setup=$(wait_window "Wire E2E Setup")
key_to "$setup" Escape
wait_until 30 count_is 0 "Wire E2E Setup" || fail "the new installer did not end"
key_to "$main" Escape
wait_exit
echo "Windows editor end to end: ok"
