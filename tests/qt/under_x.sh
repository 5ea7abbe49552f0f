#!/bin/sh
# The desktop program on a virtual X server of its own: it opens its window,
# Ctrl+Q ends it with status 0, and nothing is reported on the way out.
program=$1
work=$(mktemp -d)
# The server picks a free display itself, so tests running at once never share one.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb" &
server=$!
tries=0
while [ ! -s "$work/display" ] && [ "$tries" -lt 300 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
DISPLAY=:$(head -n 1 "$work/display")
XDG_DATA_HOME=$work/data
XDG_CONFIG_HOME=$work/config  # a first run, whatever the user's last one was
export DISPLAY XDG_DATA_HOME XDG_CONFIG_HOME
unset QT_QPA_PLATFORM WAYLAND_DISPLAY  # on this server, whatever the tests around it use
"$program" 2>"$work/err" &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" --name ' - Parlour$' | head -n 1)
# With no window manager the focus may come late: ask until it has ended.
tries=0
while [ -n "$window" ] && kill -0 "$pid" 2>/dev/null && [ "$tries" -lt 30 ]; do
    xdotool windowfocus "$window" key ctrl+q 2>/dev/null
    sleep 1
    tries=$((tries + 1))
done
kill "$pid" 2>/dev/null
wait "$pid"
status=$?
kill "$server"
cat "$work/err" >&2
echo "display $DISPLAY, exit status $status"
reported=$(grep -c Sanitizer "$work/err")
rm -rf "$work"
[ -n "$window" ] && [ "$status" -eq 0 ] && [ "$reported" -eq 0 ]
