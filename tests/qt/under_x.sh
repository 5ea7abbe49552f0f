#!/bin/sh
# The desktop program on a real X server (run it under xvfb-run): it opens
# its window, Ctrl+Q ends it with status 0, and nothing is reported on the
# way out.
program=$1
err=$(mktemp)
XDG_DATA_HOME=$(mktemp -d)
export XDG_DATA_HOME
"$program" 2>"$err" &
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
cat "$err" >&2
echo "exit status $status"
reported=$(grep -c Sanitizer "$err")
rm -rf "$err" "$XDG_DATA_HOME"
[ -n "$window" ] && [ "$status" -eq 0 ] && [ "$reported" -eq 0 ]
