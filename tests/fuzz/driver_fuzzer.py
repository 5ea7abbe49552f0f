#!/usr/bin/env python3
"""Grammar fuzzer of parlour-headless: random scripts of well-formed and
malformed commands, each run by a fresh program. A finding is a crash or a
sanitizer report, a hang, an output line that is not JSON, or a state in
which a card is lost, doubled or left marked as dragged.

    tests/fuzz/driver_fuzzer.py --seconds 900 [--seed N] [--findings DIR]

prints its counts as one JSON line and exits 1 when anything was found; each
finding's script is kept in DIR to be replayed with parlour-headless."""

import argparse
import json
import os
import random
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from parlour_driver import card_faults  # noqa: E402

# The commands scripts give: the menu's, read from the program (but Exit, which
# would end every script early), and the handheld's New game, New and Menu key.
COMMAND_IDS = [32776, 57600, 402]
EXIT = 57665
# "Winnable deals" makes every New a search of about a second's work, many
# times that with the sanitizers: scripts would time out. The solver's own
# tests play it.
WINNABLE_DEALS = 32797
NAMES = ["", "Jos", "Zoë", "名前", "\U0001F0A1 ace", "a  b", "x" * 300, "tab\there"]
# Distinct exit codes, so a sanitizer report is never taken for a bad command.
SANITIZERS = {"ASAN_OPTIONS": "exitcode=86:detect_leaks=1",
              "UBSAN_OPTIONS": "halt_on_error=1:exitcode=87:print_stacktrace=1"}


def number(rng, lo, hi):
    """Mostly small, sometimes an edge of the range or just past it."""
    roll = rng.random()
    if roll < 0.8:
        return rng.randint(lo, hi)
    return rng.choice([lo, hi, lo - 1, hi + 1, 0, -1, 2 ** 31 - 1, -2 ** 31, 2 ** 63, 2 ** 64 + 5])


def point(rng):
    if rng.random() < 0.9:  # on the table, where the cards are
        return "%d %d" % (rng.randint(-5, 250), rng.randint(-5, 280))
    return "%d %d" % (number(rng, -32768, 32767), number(rng, -32768, 32767))


def answer(rng):
    kind = rng.choice(["yes", "no", "ok", "cancel", "reset", "name", "choice", "values"])
    if kind == "name":
        return "answer name " + rng.choice(NAMES)
    if kind == "choice":
        return "answer choice %d" % rng.randint(-1, 4)
    if kind == "values":
        return "answer values " + " ".join(str(rng.randint(-2, 20)) for _ in range(3))
    return "answer " + kind


def garbage(rng):
    words = ["tap", "drag", "wait", "size", "command", "answer", "state", "x", "-", "1e9",
             "0x1f", "\u00e9", "#", "name", "choice", "9" * 25]
    return " ".join(rng.choice(words) for _ in range(rng.randint(1, 5)))


def command(rng, shot_dir):
    roll = rng.random()
    if roll < 0.30:
        return "%s %s" % (rng.choice(["down", "move", "up", "tap", "dblclk"]), point(rng))
    if roll < 0.45:
        return "drag %s %s" % (point(rng), point(rng))
    if roll < 0.58:
        return "state"
    if roll < 0.66:
        ms = rng.choice([rng.randint(0, 3000), rng.randint(0, 120000), number(rng, 0, 4294967295)])
        return "wait %d" % ms
    if roll < 0.76:
        return "command %d" % (rng.choice(COMMAND_IDS) if rng.random() < 0.9
                               else number(rng, 0, 65535))
    if roll < 0.85:
        return answer(rng)
    if roll < 0.88:
        return "size %d %d" % (rng.randint(0, 400), rng.randint(0, 400))
    if roll < 0.90:
        return "autopaint " + rng.choice(["on", "off", "maybe"])
    if roll < 0.92:
        return rng.choice(["menu", "scores", "state now"])
    if roll < 0.925:
        return "shot " + os.path.join(shot_dir, "shot.png")
    if roll < 0.93:
        return "command 57665"  # Exit: the script ends there
    return garbage(rng)


def script(rng, shot_dir, length):
    lines = [command(rng, shot_dir) for _ in range(length)]
    lines.insert(rng.randint(0, length), "state")
    return lines


def run_one(binary, lines, tick, findings_dir, counts):
    """Runs one script; returns the findings it made."""
    found = []
    with tempfile.TemporaryDirectory() as data_dir:
        data = ("\n".join(lines) + "\n").encode()
        if random.random() < 0.02:
            data += b"answer name \xff\xfe\n"  # not UTF-8
        env = dict(os.environ, **SANITIZERS)
        try:
            done = subprocess.run([binary, "--data-dir", data_dir, "--tick", str(tick)],
                                  input=data, capture_output=True, timeout=60, env=env)
        except subprocess.TimeoutExpired:
            found.append("hang")
            done = None
        if done is not None:
            if done.returncode not in (0, 1):
                found.append("exit status %d: %s" % (done.returncode,
                                                      done.stderr.decode(errors="replace")[-2000:]))
            for line in done.stdout.decode(errors="replace").splitlines():
                try:
                    obj = json.loads(line)
                except ValueError:
                    found.append("not JSON: " + line[:200])
                    continue
                if "view" in obj:
                    counts["states"] += 1
                    found += card_faults(obj)
    counts["lines"] += len(lines)
    counts["scripts"] += 1
    if found:
        counts["findings"] += 1
        os.makedirs(findings_dir, exist_ok=True)
        path = os.path.join(findings_dir, "finding-%d.txt" % counts["findings"])
        with open(path, "wb") as f:
            f.write(b"# --tick %d\n# " % tick + found[0][:500].replace("\n", " ").encode() + b"\n")
            f.write(data)
        print("finding: %s (script %s)" % (found[0][:300], path), file=sys.stderr)
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default=os.environ.get("PARLOUR_HEADLESS"))
    parser.add_argument("--seconds", type=float, default=25)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--findings", default="driver-findings")
    args = parser.parse_args()
    if not args.binary:
        parser.error("--binary or PARLOUR_HEADLESS is needed")
    with tempfile.TemporaryDirectory() as data_dir:
        menu = subprocess.run([args.binary, "--data-dir", data_dir], input="menu\n",
                              capture_output=True, text=True, check=True).stdout
    COMMAND_IDS.extend(sorted(i["id"] for i in json.loads(menu)["menu"]
                              if i.get("id", EXIT) not in (EXIT, WINNABLE_DEALS)))
    seed = args.seed if args.seed is not None else random.randrange(2 ** 32)
    rng = random.Random(seed)
    random.seed(seed)
    counts = {"seed": seed, "scripts": 0, "lines": 0, "states": 0, "findings": 0}
    end = time.monotonic() + args.seconds
    with tempfile.TemporaryDirectory() as shot_dir:
        while time.monotonic() < end:
            tick = rng.choice([rng.randint(0, 2 ** 32 - 1), rng.randint(99000, 101000)])
            run_one(args.binary, script(rng, shot_dir, rng.randint(20, 400)), tick,
                    args.findings, counts)
    print(json.dumps(counts))
    return 1 if counts["findings"] else 0


if __name__ == "__main__":
    sys.exit(main())
