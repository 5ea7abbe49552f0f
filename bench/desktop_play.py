#!/usr/bin/env python3
"""Measures the desktop program on an X display (Xvfb is fine) beside a bare
Qt window, in one interleaved run, so that the ratio between them holds
however busy the machine is:

- start-up to the first paint of the view (median of a few starts each) and
  anonymous memory;
- a fixed random play of Klondike mouse events sent with xdotool: CPU time
  per event (from /proc) and pixels repainted per event (the program's own
  counter, PARLOUR_PAINT_STATS);
- a Paintpot game tapped cell by cell: pixels repainted per step;
- ten idle seconds of a running game clock (first round only).

The bare window (bench/bare_window.cpp, built by this script with the Qt 6
development files) is the same size, takes the same events and does nothing
with them: it is what any Qt program pays for X and event handling. A second
bare window also paints a drag as simply as Qt can (a card-sized rectangle
following the pointer, its old and new place repainted at each step): what
any Qt program pays to show one. With
--before, a second build of the program (an older one, say) runs in the same
rounds, so before and after are measured side by side too.

    DISPLAY=:NN bench/desktop_play.py [PARLOUR] [--before PARLOUR] [--rounds N]

Needs xdotool, pkg-config and a C++ compiler."""

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
DRAWING = "bare Qt drawing a drag"
BARE = ("bare Qt", DRAWING)


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def rss_anon_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return int(re.search(r"RssAnon:\s+(\d+)", f.read()).group(1))


def threads(pid):
    return len(os.listdir("/proc/%d/task" % pid))


def build_bare_window(folder):
    binary = os.path.join(folder, "bare_window")
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt6Widgets"], check=True,
                           capture_output=True, text=True).stdout.split()
    subprocess.run(["c++", "-std=c++17", "-O2", "-fPIC", os.path.join(HERE, "bare_window.cpp"),
                    "-o", binary] + flags, check=True)
    return binary


class Program:
    """One run of a program that says "first view paint" on its first paint."""

    def __init__(self, command, data_dir):
        # A first run every time: the game and zoom of no earlier one.
        env = dict(os.environ, PARLOUR_PAINT_STATS="1", XDG_DATA_HOME=data_dir,
                   XDG_CONFIG_HOME=data_dir)
        self.started = time.monotonic()
        self.proc = subprocess.Popen(command, env=env, stderr=subprocess.PIPE, text=True)
        for line in self.proc.stderr:
            if "first view paint" in line:
                break
        self.startup_ms = (time.monotonic() - self.started) * 1000
        self.pid = self.proc.pid

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


def window_of(pid):
    out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True).stdout.split()
    return out[-1]


def window_geometry(window):
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                              capture_output=True, text=True).stdout
    values = dict(l.split("=") for l in geometry.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def at(origin, zoom, x, y, pause):
    ox, oy = origin
    return ["mousemove", str(ox + x * zoom + zoom // 2), str(oy + y * zoom + zoom // 2),
            "sleep", str(pause)]


def klondike_play(events, seed, origin, zoom, pause=0.01):
    """A fixed random play in view pixels: stock taps, and drags from a
    source pile to a target pile in small steps. Returns xdotool's arguments
    and the number of mouse events."""
    rng = random.Random(seed)
    args, count = [], 0
    while count < events:
        if rng.random() < 0.3:
            args += at(origin, zoom, rng.randrange(8, 33), rng.randrange(6, 40), pause)
            args += ["click", "1", "sleep", str(pause)]
            count += 3
            continue
        column = rng.randrange(-1, 7)
        x, y = (rng.randrange(40, 80), rng.randrange(6, 40)) if column < 0 else \
               (8 + 32 * column + rng.randrange(0, 25), rng.randrange(46, 140))
        target = rng.randrange(0, 11)
        tx = 8 + 32 * (target % 7) + 12 if target < 7 else 104 + 32 * (target - 7) + 12
        ty = rng.randrange(60, 120) if target < 7 else 20
        args += at(origin, zoom, x, y, pause) + ["mousedown", "1", "sleep", str(pause)]
        steps = 10
        for s in range(1, steps + 1):
            args += at(origin, zoom, x + (tx - x) * s // steps, y + (ty - y) * s // steps, pause)
        args += ["mouseup", "1", "sleep", str(pause)]
        count += 3 + steps
    return args, count


def paintpot_taps(origin, zoom, pause=0.05):
    """Taps on the 14 x 14 board (cells 17 x 19 pixels in a 240 x 268 view),
    one anti-diagonal after the other from the flooded corner, each cell once:
    the first ten diagonals, too few to end the game and bring up its box."""
    args = []
    for d in range(1, 11):
        for col in range(max(0, d - 13), min(d, 13) + 1):
            row = d - col
            args += at(origin, zoom, col * 17 + 8, row * 19 + 9, pause)
            args += ["click", "1", "sleep", str(pause)]
    return args


def steps_done(window):
    name = subprocess.run(["xdotool", "getwindowname", window], capture_output=True,
                          text=True).stdout
    found = re.search(r"Steps done:(\d+)", name)
    return int(found.group(1)) if found else 0


def span(values, unit="", digits=0):
    return "%s to %s%s" % (format(min(values), ",.%df" % digits),
                           format(max(values), ",.%df" % digits), unit)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("parlour", nargs="?",
                        default=os.path.join(HERE, "..", "build", "bench", "hosts", "qt", "parlour"))
    parser.add_argument("--before", help="another build of the program, measured beside it")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--events", type=int, default=1500)
    parser.add_argument("--startups", type=int, default=5, help="starts per program and round")
    parser.add_argument("--idle", type=float, default=10.0)
    parser.add_argument("--deal", type=int, default=7919,
                        help="the Klondike deal played, the same for every program and round")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as work:
        bare = build_bare_window(work)
        # The bare window takes the size the program's window opens at.
        probe = Program([args.parlour], work)
        _, _, width, height = window_geometry(window_of(probe.pid))
        probe.stop()
        programs = [("parlour", [args.parlour])]
        if args.before:
            programs.append(("before", [args.before]))
        programs.append(("bare Qt", [bare, str(width), str(height)]))
        programs.append((DRAWING, [bare, str(width), str(height), "drag"]))
        results = {name: {"startup": [], "anon": [], "cpu": [], "pixels": [], "threads": [],
                          "paintpot": []} for name, _ in programs}

        for round_ in range(args.rounds):
            # Each round in another order, so that none always runs first.
            order = programs[round_ % len(programs):] + programs[:round_ % len(programs)]
            for name, command in order:
                result = results[name]
                starts = []
                for _ in range(args.startups):
                    program = Program(command, work)
                    starts.append(program.startup_ms)
                    time.sleep(0.5)
                    result["anon"].append(rss_anon_kib(program.pid))
                    program.stop()
                result["startup"].append(statistics.median(starts))

                # One deal for all: how long a random play goes on before the
                # game is stuck, and how much it drags, depends on the deal.
                play = command if name in BARE else \
                    command + ["--game", "klondike", "--deal", str(args.deal)]
                program = Program(play, work)
                window = window_of(program.pid)
                x, y, w, _ = window_geometry(window)
                zoom = max(1, w // 240)
                xdotool, count = klondike_play(args.events, 15, (x, y), zoom)
                time.sleep(0.5)
                counted = name not in BARE
                before = program.totals() if counted else None
                cpu = cpu_seconds(program.pid)
                subprocess.run(["xdotool"] + xdotool, check=True)
                time.sleep(0.5)
                cpu_after = cpu_seconds(program.pid)
                result["cpu"].append((cpu_after - cpu) * 1e6 / count)
                result["threads"].append(threads(program.pid))
                if counted:
                    after = program.totals()
                    result["pixels"].append((after[7] - before[7]) / count)
                    if round_ == 0 and args.idle > 0:
                        time.sleep(0.3)
                        before, cpu = program.totals(), cpu_seconds(program.pid)
                        time.sleep(args.idle)
                        after, cpu_after = program.totals(), cpu_seconds(program.pid)
                        result["idle"] = (after[6] - before[6], after[7] - before[7],
                                          (cpu_after - cpu) * 1000)
                program.stop()

                if counted:
                    program = Program(command + ["--game", "paintpot"], work)
                    window = window_of(program.pid)
                    time.sleep(1.0)
                    x, y, w, _ = window_geometry(window)
                    before = program.totals()
                    subprocess.run(["xdotool"] + paintpot_taps((x, y), max(1, w // 240)),
                                   check=True)
                    time.sleep(0.5)
                    after = program.totals()
                    steps = steps_done(window)
                    if steps:
                        result["paintpot"].append(((after[1] - before[1]) / steps, steps))
                    program.stop()
                print("round %d: %s done" % (round_ + 1, name), flush=True)

        print("\nzoom %d (window %d x %d); %d rounds, each program in turn; %d mouse events a play"
              % (zoom, width, height, args.rounds, count))
        bare_cpu = results["bare Qt"]["cpu"]
        drawing_cpu = results[DRAWING]["cpu"]
        for name, _ in programs:
            r = results[name]
            print("\n%s" % name)
            print("  start-up to first paint (median of %d, per round): %s" %
                  (args.startups, span(r["startup"], " ms")))
            print("  anonymous memory after start-up: %s" %
                  span([k / 1024 for k in r["anon"]], " MiB", 1))
            print("  CPU per mouse event: %s (rounds: %s)" %
                  (span(r["cpu"], " us"), ", ".join("%.0f" % c for c in r["cpu"])))
            print("  threads after play: %s" % span(r["threads"]))
            if name != "bare Qt":
                ratios = [c / b for c, b in zip(r["cpu"], bare_cpu)]
                print("  CPU per event / bare window's, same round: %s" % span(ratios, "", 2))
            if name not in BARE:
                ratios = [c / b for c, b in zip(r["cpu"], drawing_cpu)]
                print("  CPU per event / the bare window drawing a drag's: %s" % span(ratios, "", 2))
                print("  pixels repainted per mouse event: %s" % span(r["pixels"]))
                if r["paintpot"]:
                    print("  Paintpot: view pixels per step: %s (steps: %s)" % (
                        span([p for p, _ in r["paintpot"]]),
                        ", ".join(str(s) for _, s in r["paintpot"])))
                if "idle" in r:
                    print("  idle %.0f s, game clock running: %d paints, %d pixels, cpu %.0f ms" %
                          ((args.idle,) + r["idle"]))


if __name__ == "__main__":
    main()
