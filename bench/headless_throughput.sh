#!/usr/bin/env bash
# Throughput of parlour-headless on a fixed random-play script: commands per
# second and peak memory. Usage:
#   bench/headless_throughput.sh [PARLOUR_HEADLESS] [COMMANDS] [FOLDER]
# The driver defaults to the test build's; the script to 200,000 commands.
# The driver's data folder (its statistics file is written and synced at
# each game begun and ended) is made in FOLDER, the system's temporary
# folder unless told: /dev/shm puts it in memory.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
driver="${1:-$here/../build/test/hosts/headless/parlour-headless}"
count="${2:-200000}"
work="$(mktemp -d ${3:+-p "$3"})"
trap 'rm -rf "$work"' EXIT
python3 "$here/random_play.py" --count "$count" > "$work/script"
# The driver's exit status is 1 when a command was refused (an undo with
# nothing to undo): random play expects that.
/usr/bin/time -v "$driver" --data-dir "$work" "$work/script" > "$work/out" 2> "$work/time" || true
grep -q "Exit status: [01]$" "$work/time" || { cat "$work/time" >&2; exit 1; }
awk -v n="$count" '
    /User time/ { user = $NF }
    /System time/ { sys = $NF }
    /Elapsed \(wall clock\)/ { split($NF, t, ":"); wall = t[1] * 60 + t[2]; if (length(t) == 3) wall = t[1] * 3600 + t[2] * 60 + t[3] }
    /Maximum resident/ { rss = $NF }
    END {
        cpu = user + sys
        printf "commands: %d\n", n
        printf "wall: %.2f s, cpu: %.2f s (user %.2f s, system %.2f s)\n", wall, cpu, user, sys
        printf "commands per second (cpu): %.0f\n", (cpu > 0) ? n / cpu : 0
        printf "commands per second (user cpu): %.0f\n", (user > 0) ? n / user : 0
        printf "cpu per command: %.1f us\n", cpu * 1e6 / n
        printf "peak memory: %.1f MiB (%d KiB)\n", rss / 1024, rss
    }' "$work/time"
