#!/usr/bin/env python3
"""Writes a fixed random-play script for parlour-headless: Klondike played by
taps, drags (whole and step by step), double taps, undo, new deals and clock
ticks, aimed at the table's piles. The same seed always gives the same script,
so throughput figures taken on different days compare."""

import argparse
import random

STOCK = (8, 6, 33, 40)
WASTE = (40, 6, 80, 40)
TABLEAU = [(8 + 32 * i, 46, 33 + 32 * i, 160) for i in range(7)]
FOUNDATIONS = [(104 + 32 * i, 6, 129 + 32 * i, 40) for i in range(4)]
ID_FILE_NEW, ID_UNDO_MOVE = 57600, 32777


def point(rng, rect):
    left, top, right, bottom = rect
    return rng.randrange(left, right), rng.randrange(top, bottom)


def script(count, seed):
    rng = random.Random(seed)
    lines = []
    sources = [WASTE] + TABLEAU
    targets = TABLEAU + FOUNDATIONS
    while len(lines) < count:
        r = rng.random()
        if r < 0.25:
            lines.append("tap %d %d" % point(rng, STOCK))
        elif r < 0.50:
            lines.append("drag %d %d %d %d" % (point(rng, rng.choice(sources)) +
                                               point(rng, rng.choice(targets))))
        elif r < 0.70:
            # A drag as the hand makes it: one press, several moves, one release.
            x, y = point(rng, rng.choice(sources))
            tx, ty = point(rng, rng.choice(targets))
            lines.append("down %d %d" % (x, y))
            steps = rng.randrange(2, 6)
            for s in range(1, steps + 1):
                lines.append("move %d %d" % (x + (tx - x) * s // steps, y + (ty - y) * s // steps))
            lines.append("up %d %d" % (tx, ty))
        elif r < 0.82:
            lines.append("dblclk %d %d" % point(rng, rng.choice(sources)))
        elif r < 0.90:
            lines.append("tap %d %d" % point(rng, rng.choice(sources)))
        elif r < 0.96:
            lines.append("wait 1000")
        elif r < 0.995:
            lines.append("command %d" % ID_UNDO_MOVE)
        else:
            lines.append("command %d" % ID_FILE_NEW)
    return lines[:count]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--count", type=int, default=200000)
    parser.add_argument("--seed", type=int, default=15)
    args = parser.parse_args()
    print("\n".join(script(args.count, args.seed)))


if __name__ == "__main__":
    main()
