# Helpers for the end-to-end GUI tests: a temporary home, waiting for windows
# and programs with timeouts, and a screenshot when a check fails.

# begin_e2e NAME SFXPACK SFXTOOL XCLOSE SCREENSHOT-DIR: sets sfxpack, sfxtool,
# xclose and work, a temporary folder that holds HOME; at the end the
# program whose id is in pid is stopped and work is removed.
begin_e2e() {
    SHOT=$5/$1-failed.png
    sfxpack=$2 sfxtool=$3 xclose=$4
    work=$(mktemp -d)
    pid=
    trap end_e2e EXIT
    export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
    mkdir -p "$HOME/Desktop" "$XDG_DATA_HOME"
}

end_e2e() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}

fail() {
    echo "FAIL: $*" >&2
    mkdir -p "$(dirname "$SHOT")"
    import -window root "$SHOT" 2>/dev/null && echo "screenshot: $SHOT" >&2
    exit 1
}

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# windows_named NAME: the ids of the mapped windows whose title is NAME.
windows_named() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true
}

count_is() { # count_is N NAME
    [ "$(windows_named "$2" | wc -l)" -eq "$1" ]
}

shown() { # shown NAME
    [ -n "$(windows_named "$1")" ]
}

# wait_window NAME: prints the id of the first window titled NAME.
wait_window() {
    wait_until 20 shown "$1" || fail "no window titled '$1'"
    windows_named "$1" | head -1
}

# The number of mapped top-level windows (menus included).
toplevel_count() {
    xdotool search --onlyvisible --maxdepth 1 --name '.*' 2>/dev/null | wc -l
}

toplevel_count_above() {
    [ "$(toplevel_count)" -gt "$1" ]
}

# geometry WINDOW: sets X Y WIDTH HEIGHT of the window.
geometry() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
}

# wait_exit: the program in pid ends within 20 seconds, with status 0.
wait_exit() {
    wait_until 20 eval '! kill -0 "$pid" 2>/dev/null' || fail "the program did not end"
    local status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}
