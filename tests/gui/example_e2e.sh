#!/usr/bin/env bash
# The README's complete Linux example, end to end: its script, taken from the
# README, with the system folders it names moved under a temporary folder
# (and HKEY_LOCAL_MACHINE to the temporary user's store), is built with the
# built sfxpack as stub and run; the button installs the app, the message box
# closes, and the files, desktop entry and registry record are where the
# script puts them. The window's class is "sfxpack", as the desktop entry says.
# usage: example_e2e.sh SFXPACK SFXTOOL XCLOSE SCREENSHOT-DIR README
set -euo pipefail
source "$(dirname "$0")/gui_lib.sh"
readme=$5
begin_e2e example-e2e "${@:1:4}"
src=$work/src opt=$work/opt apps=$work/applications
mkdir -p "$src" "$opt" "$apps"

sed -n '/^<!-- example-script:/,/^<!-- end of example-script/p' "$readme" | sed '1,2d;$d' | sed '$d' \
    | sed "s#/opt/myapp#$opt/myapp#g; s#/usr/share/applications#$apps#g; s#HKEY_LOCAL_MACHINE#HKEY_CURRENT_USER#g" \
    > "$src/setup.ini"
grep -q '^\[Tasks\]' "$src/setup.ini" || fail "no example script in $readme"
printf '#!/bin/sh\necho "My App 1.0"\n' > "$src/myapp"
printf '[Desktop Entry]\nType=Application\nName=My App\nExec=%s/myapp/myapp\n' "$opt" > "$src/org.example.MyApp.desktop"
(cd "$src" && "$sfxtool" build setup.ini) || fail "sfxtool build failed"

"$src/myapp-setup" & pid=$!
main=$(wait_window "My App Setup")
xprop -id "$main" WM_CLASS | grep -q '"sfxpack"' || fail "window class: $(xprop -id "$main" WM_CLASS)"
geometry "$main"
xdotool mousemove --window "$main" $((WIDTH - 82 + 35)) $((HEIGHT - 32 + 13)) click 1
wait_until 20 count_is 2 "My App Setup" || fail "no message box after pressing the button"
box=$(windows_named "My App Setup" | grep -vx "$main" | head -1)
geometry "$box"
xdotool mousemove --window "$box" $((WIDTH / 2)) $((HEIGHT - 14 - 13)) click 1
wait_until 20 count_is 1 "My App Setup" || fail "the message box did not close"

cmp -s "$opt/myapp/myapp" "$src/myapp" || fail "the launcher is not in $opt/myapp"
cmp -s "$apps/org.example.MyApp.desktop" "$src/org.example.MyApp.desktop" || fail "the desktop entry is not in $apps"
# chmod runs on its own (Run: does not wait).
wait_until 20 test -x "$opt/myapp/myapp" || fail "the launcher is not executable"
[ "$("$opt/myapp/myapp")" = "My App 1.0" ] || fail "the launcher does not run"
[ "$("$sfxtool" reg query HKEY_CURRENT_USER 'Software\My App' InstallDir)" = \
  "{\"name\":\"InstallDir\",\"type\":\"REG_SZ\",\"data\":\"$opt/myapp\"}" ] || fail "install not recorded"

"$xclose" "$main" || fail "cannot send the close request"
wait_exit
echo "README example end to end: ok"
