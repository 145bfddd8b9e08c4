#!/usr/bin/env bash
# The real installer, end to end: sfxtool builds it with the built sfxpack
# as its stub; started, it shows its setup screen; its button runs the tasks
# (files, registry, a message box), a stale window manager check on the
# root window notwithstanding; its close box ends it with status 0.
# usage: installer_e2e.sh SFXPACK SFXTOOL XCLOSE SCREENSHOT-DIR
set -euo pipefail
source "$(dirname "$0")/gui_lib.sh"
begin_e2e installer-e2e "$@"
mkdir -p "$work/src" "$work/inst"

head -c 5000 /dev/urandom > "$work/src/app.bin"
printf 'read me\n' > "$work/src/notes.txt"
cat > "$work/src/setup.ini" <<'SCRIPT'
[Setup]
WindowTitle=E2E Setup Test
Title=E2E App 1.0
Readme=Line one\nLine two
OK=Install
Size=480,360

[Files]
app.bin
notes.txt

[Tasks]
ExtractAll: DSKDIR\E2E
ExtractFile: notes.txt To: CURDIR\notes-copy.txt
WriteToFile: DSKDIR\E2E\installed.txt Text: yes Mode: CREATE
WriteToFile: DSKDIR\E2E\installed.txt Text: again
SetRegString: HKEY_CURRENT_USER Key: Software\E2E App Query: Path Value: installed here
SetRegDword: HKEY_CURRENT_USER Key: Software\E2E App Query: Count Value: 12abc
MessageBox: E2E done Icon: MB_ICONASTERISK please
Status=Finished
SCRIPT
(cd "$work/src" && "$sfxtool" build --stub "$sfxpack" -o "$work/inst/e2e-setup" setup.ini) \
    || fail "sfxtool build failed"

# What a crashed window manager leaves on the root window: a check window
# that is gone. Following it is a BadWindow error, which must not end the
# installer halfway through its tasks.
"$(dirname "$xclose")/xstalewm" || fail "cannot leave a stale window manager check"
"$work/inst/e2e-setup" & pid=$!
main=$(wait_window "E2E Setup Test")
geometry "$main"
[ "$WIDTH" -eq 480 ] && [ "$HEIGHT" -eq 360 ] || fail "window is ${WIDTH}x${HEIGHT}, not 480x360"
[ ! -e "$HOME/Desktop/E2E" ] || fail "tasks ran before the button was pressed"

# The button's middle: 82 px from the right edge, 32 px from the bottom, 70 x 27.
xdotool mousemove --window "$main" $((WIDTH - 82 + 35)) $((HEIGHT - 32 + 13)) click 1
wait_until 20 count_is 2 "E2E Setup Test" || fail "no message box after pressing the button"
box=$(windows_named "E2E Setup Test" | grep -vx "$main" | head -1)
geometry "$box"
[ "$WIDTH" -lt 480 ] || fail "the message box is not a small window"
xdotool mousemove --window "$box" $((WIDTH / 2)) $((HEIGHT - 14 - 13)) click 1
wait_until 20 count_is 1 "E2E Setup Test" || fail "the message box did not close"

desk=$HOME/Desktop/E2E
cmp -s "$desk/app.bin" "$work/src/app.bin" || fail "app.bin not extracted"
cmp -s "$desk/notes.txt" "$work/src/notes.txt" || fail "notes.txt not extracted"
cmp -s "$work/inst/notes-copy.txt" "$work/src/notes.txt" || fail "ExtractFile did not write CURDIR\\notes-copy.txt"
[ "$(od -An -c "$desk/installed.txt" | tr -s ' ')" = " y e s \r \n a g a i n \r \n" ] \
    || fail "installed.txt holds: $(od -c "$desk/installed.txt")"
[ "$("$sfxtool" reg query HKEY_CURRENT_USER 'Software\E2E App' Path)" = \
  '{"name":"Path","type":"REG_SZ","data":"installed here"}' ] || fail "registry string not written"
[ "$("$sfxtool" reg query HKEY_CURRENT_USER 'Software\E2E App' Count)" = \
  '{"name":"Count","type":"REG_DWORD","data":12}' ] || fail "registry number not written"

[ ! -e "$HOME/.fltk" ] || fail "the installer wrote the toolkit's preferences into the home folder"

"$xclose" "$main" || fail "cannot send the close request"
wait_exit
echo "installer end to end: ok"
