#!/usr/bin/env bash
# Installs what is missing, builds the guide and starts it. With no display it runs the guide on a
# virtual one, saves a screenshot as screenshot.png and closes it again.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source scripts/setup.sh

install_missing_packages
# Only the program itself: the tests and benchmarks are test.sh's to build.
build_preset release tq5210-settings
program=build/release/tq5210-settings

if [[ -n "${DISPLAY:-}" ]]; then
    exec "$program"
fi

screen_width=1024
screen_height=768
screenshot=$PWD/screenshot.png
work=$(mktemp -d)
server_pid=
window_manager_pid=
program_pid=

stop_process() {
    local pid=$1
    [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

clean_up() {
    stop_process "$program_pid"
    stop_process "$window_manager_pid"
    stop_process "$server_pid"
    rm -rf "$work"
}
trap clean_up EXIT

# Polls a command every 0.1 s until it succeeds or the given number of seconds has passed.
wait_for() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    until "$@"; do
        ((--tries > 0)) || return 1
        sleep 0.1
    done
}

fail() {
    echo "error: $*" >&2
    if [[ -s "$work/program.log" ]]; then
        echo "The guide's output:" >&2
        cat "$work/program.log" >&2
    fi
    exit 1
}

# Xvfb picks a free display number itself and writes it to descriptor 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 "${screen_width}x${screen_height}x24" -nolisten tcp 3>"$work/display" \
    >"$work/server.log" 2>&1 &
server_pid=$!
wait_for 30 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/server.log")"
export DISPLAY=":$(head -n 1 "$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
window_manager_pid=$!
window_manager_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
wait_for 30 window_manager_ready || fail "openbox did not start"
# The pointer rests in a corner, away from the highlight circles.
xdotool mousemove $((screen_width - 1)) $((screen_height - 1))

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
echo "Started the guide on the virtual display $DISPLAY."

main_window=
find_main_window() {
    kill -0 "$program_pid" 2>/dev/null || fail "the guide ended before showing its window"
    main_window=$(xdotool search --onlyvisible --name '^Setup$' 2>/dev/null | head -n 1)
    [[ -n "$main_window" ]]
}
wait_for 120 find_main_window || fail "no window captioned Setup appeared"

# The help window shows itself shortly after start-up; the screenshot waits for it a little.
help_window_shown() { xdotool search --onlyvisible --name '^Instructions for Settings utility$' >/dev/null 2>&1; }
wait_for 10 help_window_shown || true

# The screen has settled when two grabs in a row are equal and show more than a blank window.
screen_settled() {
    import -window root -depth 8 "rgb:$work/current.rgb" 2>/dev/null || return 1
    local settled=1
    if [[ -f "$work/previous.rgb" ]] && cmp -s "$work/current.rgb" "$work/previous.rgb"; then
        local colours
        colours=$(convert -size "${screen_width}x${screen_height}" -depth 8 "rgb:$work/current.rgb" -format %k info:)
        ((colours > 16)) && settled=0
    fi
    mv "$work/current.rgb" "$work/previous.rgb"
    return $settled
}
wait_for 60 screen_settled || echo "warning: the screen did not settle; taking the screenshot anyway" >&2
import -window root "$screenshot"
echo "Screenshot saved as $screenshot"

# Close the main window the way a user would (openbox closes the active window on Alt+F4), so
# the guide ends normally; stop it if that does not work.
xdotool windowactivate "$main_window" 2>/dev/null || true
main_window_active() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$main_window" ]]; }
if wait_for 10 main_window_active; then
    xdotool key --clearmodifiers alt+F4
fi
program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
if wait_for 20 program_ended; then
    status=0
    wait "$program_pid" || status=$?
    program_pid=
    echo "The guide closed with exit status $status."
else
    echo "The guide did not close; stopping it." >&2
fi
