#!/usr/bin/env python3
"""Measures the desktop program on an X display (Xvfb is fine): start-up time
to the first paint of the view and anonymous memory; then a fixed random play
of mouse events sent with xdotool, with the program's CPU time per event and
the pixels it repainted per event; then ten idle seconds of the game clock.

    DISPLAY=:NN bench/desktop_play.py [PARLOUR] [--events N] [--startups N]

Pixels come from the program's own counter (PARLOUR_PAINT_STATS), CPU time
from /proc. Needs xdotool."""

import argparse
import os
import random
import re
import signal
import statistics
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TICK = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def rss_anon_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return int(re.search(r"RssAnon:\s+(\d+)", f.read()).group(1))


class Program:
    def __init__(self, path, data_dir):
        env = dict(os.environ, PARLOUR_PAINT_STATS="1", XDG_DATA_HOME=data_dir)
        self.started = time.monotonic()
        self.proc = subprocess.Popen([path], env=env, stderr=subprocess.PIPE, text=True)
        for line in self.proc.stderr:
            if "first view paint" in line:
                break
        self.startup_ms = (time.monotonic() - self.started) * 1000

    def totals(self):
        """The counter's totals so far: paints and pixels for the view, the
        status, the other widgets and all of them."""
        self.proc.send_signal(signal.SIGUSR1)
        for line in self.proc.stderr:
            if line.startswith("paint stats: input"):
                return [int(n) for pair in re.findall(r"(\d+) paints, (\d+) px", line)
                        for n in pair]
        raise RuntimeError("no totals")

    def stop(self):
        self.proc.send_signal(signal.SIGTERM)
        self.proc.wait(timeout=10)


def window_geometry(pid):
    out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True).stdout.split()
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", out[-1]],
                              capture_output=True, text=True).stdout
    values = dict(l.split("=") for l in geometry.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def play(events, seed, origin, zoom, pause=0.01):
    """A fixed random play in view pixels: stock taps, and drags from a
    source pile to a target pile in small steps. Returns xdotool's arguments
    and the number of mouse events."""
    rng = random.Random(seed)
    ox, oy = origin
    args, count = [], 0

    def at(x, y):
        return ["mousemove", str(ox + x * zoom + zoom // 2), str(oy + y * zoom + zoom // 2),
                "sleep", str(pause)]

    while count < events:
        if rng.random() < 0.3:
            args += at(rng.randrange(8, 33), rng.randrange(6, 40))
            args += ["click", "1", "sleep", str(pause)]
            count += 3
            continue
        column = rng.randrange(-1, 7)
        x, y = (rng.randrange(40, 80), rng.randrange(6, 40)) if column < 0 else \
               (8 + 32 * column + rng.randrange(0, 25), rng.randrange(46, 140))
        target = rng.randrange(0, 11)
        tx = 8 + 32 * (target % 7) + 12 if target < 7 else 104 + 32 * (target - 7) + 12
        ty = rng.randrange(60, 120) if target < 7 else 20
        args += at(x, y) + ["mousedown", "1", "sleep", str(pause)]
        steps = 10
        for s in range(1, steps + 1):
            args += at(x + (tx - x) * s // steps, y + (ty - y) * s // steps)
        args += ["mouseup", "1", "sleep", str(pause)]
        count += 3 + steps
    return args, count


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("parlour", nargs="?",
                        default=os.path.join(HERE, "..", "build", "test", "hosts", "qt", "parlour"))
    parser.add_argument("--events", type=int, default=1500)
    parser.add_argument("--startups", type=int, default=10)
    parser.add_argument("--idle", type=float, default=10.0)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as data_dir:
        startups, anon = [], []
        for _ in range(args.startups):
            program = Program(args.parlour, data_dir)
            startups.append(program.startup_ms)
            time.sleep(1.0)
            anon.append(rss_anon_kib(program.proc.pid))
            program.stop()
        print("start-up to first view paint: median %.0f ms (of %d)" %
              (statistics.median(startups), len(startups)))
        print("anonymous memory after start-up: median %.1f MiB" % (statistics.median(anon) / 1024))

        program = Program(args.parlour, data_dir)
        pid = program.proc.pid
        x, y, width, _ = window_geometry(pid)
        zoom = max(1, width // 240)
        xdotool, count = play(args.events, 15, (x, y), zoom)
        time.sleep(0.5)
        before, cpu = program.totals(), cpu_seconds(pid)
        subprocess.run(["xdotool"] + xdotool, check=True)
        time.sleep(0.5)
        after, cpu_after = program.totals(), cpu_seconds(pid)
        pixels = after[7] - before[7]
        print("zoom %d; %d mouse events" % (zoom, count))
        print("cpu per event: %.0f us" % ((cpu_after - cpu) * 1e6 / count))
        print("pixels repainted per event: %.0f (view %.0f, status %.0f, other %.0f)" % (
            pixels / count, (after[1] - before[1]) / count, (after[3] - before[3]) / count,
            (after[5] - before[5]) / count))

        time.sleep(0.3)
        before, cpu = program.totals(), cpu_seconds(pid)
        time.sleep(args.idle)
        after, cpu_after = program.totals(), cpu_seconds(pid)
        paints = after[6] - before[6]
        pixels = after[7] - before[7]
        print("idle %.0f s: %d paints, %d pixels (view %d, status %d), cpu %.0f ms" % (
            args.idle, paints, pixels, after[1] - before[1], after[3] - before[3],
            (cpu_after - cpu) * 1000))
        program.stop()


if __name__ == "__main__":
    main()
