# Helpers for the GUI tests: waiting for windows with timeouts, clicking at
# a window's client coordinates, and a screenshot when a check fails.
# Sourced by the test scripts; SHOT names the screenshot file.

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${SHOT:-}" ]; then
        mkdir -p "$(dirname "$SHOT")"
        import -window root "$SHOT" 2>/dev/null && echo "screenshot: $SHOT" >&2
    fi
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

# wait_window NAME: prints the id of the first window titled NAME.
wait_window() {
    wait_until 20 count_is_at_least 1 "$1" || fail "no window titled '$1'"
    windows_named "$1" | head -1
}

count_is_at_least() {
    [ "$(windows_named "$2" | wc -l)" -ge "$1" ]
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

# click WINDOW X Y: a left click at the window's client coordinates.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# process_ended PID
process_ended() {
    ! kill -0 "$1" 2>/dev/null
}

# wait_exit PID SECONDS: waits for the process and sets STATUS.
wait_exit() {
    wait_until "$2" process_ended "$1" || fail "process $1 did not end"
    STATUS=0
    wait "$1" || STATUS=$?
}
