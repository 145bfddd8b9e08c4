# The helpers of the Linux end-to-end tests (waiting with deadlines, windows
# by title, a screenshot on failure), for Windows programs under Wine.

source "$(dirname "${BASH_SOURCE[0]}")/../gui/gui_lib.sh"

# begin_wine_e2e NAME WINE_SH SFXPACK_EXE SFXTOOL SCREENSHOT-DIR README: sets
# wine_sh, sfxpack (the .exe), sfxtool (the Linux one), readme and work, a
# temporary folder holding HOME and a new Wine prefix; at the end Wine is
# ended and work removed.
begin_wine_e2e() {
    SHOT=$5/$1-failed.png
    wine_sh=$2 sfxpack=$3 sfxtool=$4 readme=$6
    work=$(mktemp -d)
    pid=
    trap end_wine_e2e EXIT
    # Wine is ended once, at the end (end_wine_e2e), not after each program.
    unset SFX_WINE_DISPLAY_TEST
    export HOME=$work/home WINEPREFIX=$work/prefix WINEDEBUG=-all
    # Wine links the Windows desktop folder to this one (to HOME itself
    # when it is missing).
    mkdir -p "$HOME/Desktop"
    # The prefix is made before the clock of any check starts.
    bash "$wine_sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 || fail "cannot make a Wine prefix"
}

end_wine_e2e() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}

# wine_start PROGRAM ARGS...: starts a Windows program; its process id in pid.
wine_start() {
    bash "$wine_sh" "$WINEPREFIX" "$@" & pid=$!
}

# key_to WINDOW KEYS...: keys typed into a window.
key_to() {
    local w=$1
    shift
    xdotool windowfocus --sync "$w"
    xdotool key --delay 40 "$@"
}

title_is() { # title_is WINDOW TITLE
    [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]
}

wait_title() { # wait_title WINDOW TITLE
    wait_until 30 title_is "$1" "$2" || fail "title is '$(xdotool getwindowname "$1")', not '$2'"
}

# other_window TITLE NOT: the first mapped window titled TITLE that is not NOT.
other_window() {
    windows_named "$1" | grep -vx "$2" | head -1
}

has_other() { # has_other TITLE NOT
    [ -n "$(other_window "$1" "$2")" ]
}

no_other() { # no_other TITLE NOT
    [ -z "$(other_window "$1" "$2")" ]
}

# answer TITLE MAIN KEY WHAT: a box titled TITLE, other than the window MAIN
# (or "" when there is none of that title), shows, takes KEY, and goes.
answer() {
    local box
    wait_until 60 has_other "$1" "${2:-none}" || fail "no $4"
    box=$(other_window "$1" "${2:-none}")
    key_to "$box" "$3"
    wait_until 30 no_other "$1" "${2:-none}" || fail "the $4 did not close"
}
