#!/usr/bin/env bash
# A Windows installer built on Linux, as its user meets it under Wine: the
# README's Windows example is built by the Linux sfxtool with sfxpack.exe as
# its stub and started; Enter presses Install; the files land in the Windows
# desktop folder, the values in Wine's registry (read back with reg query);
# Enter closes the message box and Escape ends the installer with status 0;
# /S installs again without a window.
# usage: installer_e2e.sh WINE_SH SFXPACK_EXE SFXTOOL SCREENSHOT-DIR README
set -euo pipefail
source "$(dirname "$0")/wine_lib.sh"
begin_wine_e2e win32-installer-e2e "$@"
mkdir -p "$work/src" "$work/inst"

# The example is the ini block after the marker in the README.
awk '/<!-- windows-example -->/ { on = 1; next } on && /^```ini/ { inside = 1; next }
     inside && /^```/ { exit } inside { print }' "$readme" > "$work/src/setup.ini"
grep -q '^\[Tasks\]' "$work/src/setup.ini" || fail "no Windows example in $readme"
head -c 20000 /dev/urandom > "$work/src/myapp.exe"
printf 'My App\r\n' > "$work/src/README.txt"
(cd "$work/src" && "$sfxtool" build --stub "$sfxpack" setup.ini -o "$work/inst/myapp-setup.exe" >/dev/null 2>&1) \
    || fail "sfxtool build failed"

cd "$work/inst"
wine_start myapp-setup.exe
main=$(wait_window "My App Setup")
desktop=$(bash "$wine_sh" "$WINEPREFIX" cmd /c 'echo %USERPROFILE%\Desktop' | tr -d '\r')
desktop=$(bash "$wine_sh" "$WINEPREFIX" winepath -u "$desktop" 2>/dev/null)
[ ! -e "$desktop/MyApp" ] || fail "tasks ran before the button was pressed"

key_to "$main" Return
answer "My App Setup" "$main" Return "message box at the end of the tasks"

cmp -s "$desktop/MyApp/myapp.exe" "$work/src/myapp.exe" || fail "myapp.exe not in $desktop/MyApp"
cmp -s "$desktop/MyApp/README.txt" "$work/src/README.txt" || fail "README.txt not in $desktop/MyApp"
values=$(bash "$wine_sh" "$WINEPREFIX" reg query 'HKCU\Software\My App' | tr -d '\r')
grep -Eq 'Version[[:space:]]+REG_SZ[[:space:]]+1\.0$' <<<"$values" || fail "Version not in the registry: $values"
grep -Eq 'Installed[[:space:]]+REG_DWORD[[:space:]]+0x1$' <<<"$values" || fail "Installed not in the registry: $values"

shown "My App Setup" || fail "the installer ended after its tasks"
key_to "$main" Escape
wait_exit

# /S is --silent, as Windows installers take it: no window, the tasks'
# words on stderr, status 0.
rm -r "$desktop/MyApp"
bash "$wine_sh" "$WINEPREFIX" myapp-setup.exe /S 2>"$work/silent.txt" || fail "/S: $(cat "$work/silent.txt")"
grep -q '^\[4/4\] MessageBox: ' "$work/silent.txt" || fail "/S said: $(cat "$work/silent.txt")"
cmp -s "$desktop/MyApp/myapp.exe" "$work/src/myapp.exe" || fail "/S did not extract myapp.exe"
echo "Windows installer end to end: ok"
