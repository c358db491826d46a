#!/bin/sh
# with-openbox.sh WIDTHxHEIGHT COMMAND [ARGS...]
# Runs COMMAND on a screen of its own: a fresh Xvfb (on the first free display, so parallel
# runs never collide) with openbox managing the windows, as on a clerk's desktop. Both are
# stopped afterwards. Exits 1 when either cannot start: a test run under it fails, never skips.
set -eu
size=$1
shift
for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null || { echo "with-openbox: $tool is not installed (scripts/deps.sh)" >&2; exit 1; }
done
work=$(mktemp -d)
xvfb=""
wm=""
stop() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap 'stop' EXIT
trap 'exit 1' HUP INT TERM
# Xvfb writes the display number it took to descriptor 3.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
i=0
while [ ! -s "$work/display" ]; do
  i=$((i + 1))
  if [ "$i" -gt 100 ] || ! kill -0 "$xvfb" 2>/dev/null; then
    echo "with-openbox: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1
  fi
  sleep 0.1
done
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY
unset WAYLAND_DISPLAY
# A configuration of our own, so the user's or the system's autostart does not run.
HOME="$work" XDG_CONFIG_HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
i=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
  i=$((i + 1))
  if [ "$i" -gt 100 ] || ! kill -0 "$wm" 2>/dev/null; then
    echo "with-openbox: openbox did not start on $DISPLAY" >&2; cat "$work/openbox.log" >&2; exit 1
  fi
  sleep 0.1
done
QT_QPA_PLATFORM=xcb
export QT_QPA_PLATFORM
status=0
"$@" || status=$?
exit "$status"
