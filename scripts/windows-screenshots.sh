#!/usr/bin/env bash
# Takes the README's pictures of the Windows programs under Wine:
# docs/windows-setup-screen.png (the README's Windows example, built on Linux
# by sfxtool with sfxpack.exe as its stub) and docs/windows-editor.png
# (sfxpack.exe with the built-in sample). Wine's desktop window draws the
# frames, as Windows would. Needs build-release/tools/sfxtool and
# build-win/tools/sfxpack.exe (scripts/test.sh makes both).
# usage: scripts/windows-screenshots.sh (on a machine with Xvfb)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
sfxtool=$root/build-release/tools/sfxtool sfxpack=$root/build-win/tools/sfxpack.exe
work=$(mktemp -d)
export HOME=$work/home WINEPREFIX=$work/prefix WINEDEBUG=-all
mkdir -p "$HOME" "$work/src" "$work/empty"
trap 'wineserver -k 2>/dev/null || true; [ -n "${xvfb:-}" ] && kill $xvfb; rm -rf "$work"' EXIT

awk '/<!-- windows-example -->/ { on = 1; next } on && /^```ini/ { inside = 1; next }
     inside && /^```/ { exit } inside { print }' README.md > "$work/src/setup.ini"
head -c 20000 /dev/urandom > "$work/src/myapp.exe"
printf 'My App\r\n' > "$work/src/README.txt"
(cd "$work/src" && "$sfxtool" build --stub "$sfxpack" setup.ini -o "$work/myapp-setup.exe" >/dev/null)

Xvfb :97 -screen 0 1024x768x24 -noreset & xvfb=$!
export DISPLAY=:97
wineboot -i >/dev/null 2>&1
# The caption buttons' glyphs (fonts-wine); this Wine does not load them from
# its own folder by itself.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

# shoot OUTPUT COMMAND...: runs the program in a Wine desktop window of a
# plain colour and saves what it shows there, trimmed to the program's
# window (centred, alone on that desktop).
shoot() {
    local out=$1 deadline=$((SECONDS + 60)) desk
    shift
    wine explorer "/desktop=shot,900x700" "$@" >/dev/null 2>&1 &
    until desk=$(xdotool search --name '^shot' 2>/dev/null | head -1) && [ -n "$desk" ] &&
          import -window "$desk" "$work/desk.png" 2>/dev/null &&
          [ "$(convert "$work/desk.png" -format '%k' info:)" -gt 1 ]; do
        [ "$SECONDS" -lt "$deadline" ] || { echo "nothing shown for $out" >&2; exit 1; }
        sleep 0.5
    done
    # Until the window has painted all of itself.
    sleep 3
    import -window "$desk" "$work/desk.png"
    convert "$work/desk.png" -trim +repage "$root/docs/$out"
    wineserver -k 2>/dev/null || true
    echo "docs/$out: $(identify -format '%wx%h' "$root/docs/$out")"
}

shoot windows-setup-screen.png "$work/myapp-setup.exe"
cd "$work/empty"
shoot windows-editor.png "$sfxpack"
