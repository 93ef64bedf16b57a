#!/bin/sh
# Starts a program in a real X window under Xvfb, finds its window, checks
# its size, closes it with the quit shortcut and expects a clean exit.
#   window_smoke.sh PROGRAM WINDOW_TITLE WIDTH HEIGHT
set -eu
if [ "${1:-}" != "--inside" ]; then
  [ $# -eq 4 ] || { echo "usage: $0 PROGRAM WINDOW_TITLE WIDTH HEIGHT" >&2; exit 2; }
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" --inside "$@"
fi
shift
program=$1 title=$2 width=$3 height=$4

"$program" &
pid=$!
fail() {
  echo "FAIL: $*" >&2
  kill "$pid" 2>/dev/null || true
  exit 1
}

window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) || true
[ -n "$window" ] || fail "no visible window titled '$title' within 20 s"
echo "window $window"

size=$(xdotool getwindowgeometry "$window" | awk '/Geometry:/ {print $2}')
[ "$size" = "${width}x${height}" ] || fail "window is $size, expected ${width}x${height}"

# No window manager runs, so give the window the keyboard ourselves.
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers ctrl+q

status=0
timeout 10 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.1; done" || fail "still running 10 s after ctrl+q"
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
echo "closed cleanly"
