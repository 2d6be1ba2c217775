#!/usr/bin/env bash
# Whole-process start-up timing: the program's start-up (StartupProbe, which runs exactly the
# sequence of src/Settings.cpp) beside a minimal Qt Widgets program (MinimalQt), each started
# RUNS times, alternately, the same way. Prints the medians, in milliseconds from the moment the
# process was started, of: the first idle, the first paint (of the board photograph, and of the
# minimal program's window) and the process's end.
#
#   bench/startup/run.sh [build directory] [runs]
#
# Runs on the Qt platform QT_QPA_PLATFORM names if it is set, else on $DISPLAY when there is one,
# else on a private Xvfb when it is installed, else on Qt's offscreen platform. The first line of
# output says which.
set -euo pipefail

build=${1:-build}
runs=${2:-21}
probe=$build/bench/startup/StartupProbe
minimal=$build/bench/startup/MinimalQt
for program in "$probe" "$minimal"; do
    [[ -x $program ]] || { echo "missing $program: build the StartupProbe and MinimalQt targets" >&2; exit 1; }
done

xvfb_pid=
cleanup() { [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT

if [[ -n ${QT_QPA_PLATFORM:-} ]]; then
    echo "display: Qt platform $QT_QPA_PLATFORM, as set in QT_QPA_PLATFORM"
elif [[ -n ${DISPLAY:-} ]]; then
    echo "display: $DISPLAY"
elif command -v Xvfb >/dev/null; then
    for number in $(seq 90 140); do
        [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] || break
    done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -e /tmp/.X11-unix/X$number ]] && break
        sleep 0.05
    done
    export DISPLAY=":$number"
    echo "display: private Xvfb $DISPLAY (no window manager)"
else
    export QT_QPA_PLATFORM=offscreen
    echo "display: none; Qt's offscreen platform"
fi

# One run: prints "idle paint end" in microseconds since the start.
run_once() {
    local start end output idle paint
    start=${EPOCHREALTIME/./}
    output=$("$1" 2>/dev/null)
    end=${EPOCHREALTIME/./}
    idle=$(sed -n 's/.*idle=\([0-9]*\).*/\1/p' <<<"$output")
    paint=$(sed -n 's/.*paint=\([0-9]*\).*/\1/p' <<<"$output")
    if [[ -z $idle || -z $paint || $idle == 0 || $paint == 0 ]]; then
        echo "$1 did not report its timings: $output" >&2
        exit 1
    fi
    echo "$((idle - start)) $((paint - start)) $((end - start))"
}

median_ms() { # column number, file
    sort -n -k"$1" "$2" | awk -v column="$1" '{ values[NR] = $column }
        END { m = (NR % 2) ? values[(NR + 1) / 2] : (values[NR / 2] + values[NR / 2 + 1]) / 2; printf "%.1f", m / 1000 }'
}

results=$(mktemp -d)
trap 'cleanup; rm -rf "$results"' EXIT
run_once "$probe" >/dev/null # warm the file cache for both
run_once "$minimal" >/dev/null
for _ in $(seq "$runs"); do
    run_once "$probe" >>"$results/probe"
    run_once "$minimal" >>"$results/minimal"
done

printf '%-28s %12s %12s %12s\n' "median of $runs runs (ms)" "first idle" "first paint" "process end"
for name in probe minimal; do
    label=$([[ $name == probe ]] && echo "TQ-5210 board guide" || echo "minimal Qt Widgets")
    printf '%-28s %12s %12s %12s\n' "$label" "$(median_ms 1 "$results/$name")" \
        "$(median_ms 2 "$results/$name")" "$(median_ms 3 "$results/$name")"
done
awk -v a="$(median_ms 1 "$results/probe")" -v b="$(median_ms 1 "$results/minimal")" \
    -v c="$(median_ms 2 "$results/probe")" -v d="$(median_ms 2 "$results/minimal")" \
    -v e="$(median_ms 3 "$results/probe")" -v f="$(median_ms 3 "$results/minimal")" \
    'BEGIN { printf "%-28s %11.2fx %11.2fx %11.2fx   (goal: within 1.5x)\n", "ratio", a / b, c / d, e / f }'
