"""The driver's commands on a running Klondike game: errors and exit status,
the clock, resizing, screenshots, painting and the menu commands."""

import os
import struct
import tempfile
import unittest
import zlib

from parlour_driver import Driver, FACEDOWN, STOCK, TABLEAU, WASTE, run_script

# The default deal (tick 100000): column 1 holds the king of spades face down
# under the ten of diamonds, which fits on the jack of clubs atop column 6.
TEN_OF_DIAMONDS, KING_OF_SPADES = 22, 51
TEN_ONTO_JACK = "drag 43 51 203 70"


def paeth(a, b, c):
    p = a + b - c
    return min((abs(p - a), a), (abs(p - b), b), (abs(p - c), c), key=lambda t: t[0])[1]


def read_png(path):
    """(width, height, rows of (r, g, b)) of an 8-bit RGB PNG."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, chunks = 8, {}
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunks[kind] = chunks.get(kind, b"") + data[pos + 8:pos + 8 + length]
        pos += 12 + length
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    assert (depth, colour) == (8, 2), "not 8-bit RGB"
    raw, stride = zlib.decompress(chunks[b"IDAT"]), width * 3 + 1
    rows, prev = [], bytes(width * 3)
    for y in range(height):
        kind, line = raw[y * stride], bytearray(raw[y * stride + 1:(y + 1) * stride])
        for x in range(len(line)):
            a, b, c = (line[x - 3] if x >= 3 else 0), prev[x], (prev[x - 3] if x >= 3 else 0)
            line[x] = (line[x] + [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]) & 0xFF
        rows.append([tuple(line[i:i + 3]) for i in range(0, len(line), 3)])
        prev = line
    return width, height, rows


class CommandsTest(unittest.TestCase):
    def test_bad_commands_are_reported_and_the_run_goes_on(self):
        status, out = run_script(["bogus", "size 10", "tap 1", "wait -5", "answer maybe",
                                  "drag 1 2 3", "command 70000", "autopaint sometimes", "",
                                  "# a comment", "state"])
        self.assertEqual(status, 1)
        self.assertEqual(len(out), 9)
        self.assertEqual(out[0], {"error": "unknown command: bogus"})
        for line in out[1:8]:
            self.assertEqual(list(line), ["error"])
        self.assertEqual(out[8]["view"], "CSolitaire")

    def test_exit_status(self):
        self.assertEqual(run_script(["state"])[0], 0)
        # Quit ends the run: nothing after it is read.
        status, out = run_script(["quit", "bogus", "state"])
        self.assertEqual((status, out), (0, []))
        self.assertEqual(run_script(["bogus", "quit"])[0], 1)

    def test_disabled_commands(self):
        status, out = run_script(["command 32777", "command 32791", "command 32793", "state"])
        self.assertEqual(status, 1)
        self.assertEqual(out[:3], [{"error": "disabled", "command": c} for c in (32777, 32791, 32793)])
        self.assertEqual(out[3]["undo"], [])

    def test_a_hung_driver_fails_the_test_instead_of_hanging(self):
        with tempfile.TemporaryDirectory() as folder:
            hung = os.path.join(folder, "hung")
            with open(hung, "w") as f:
                f.write("#!/bin/sh\nexec sleep 600\n")
            os.chmod(hung, 0o755)
            driver = Driver(program=hung, read_timeout=0.5)
            with self.assertRaises(TimeoutError):
                driver.state()
            driver.close()

    def test_clock_and_status(self):
        with Driver() as driver:
            # Before the first action the clock does not run.
            state = driver.send("wait 5000")[-1]
            self.assertEqual((state["tick"], state["startTick"], state["status"]), (105000, 0, ""))
            state = driver.send("tap 20 20")[-1]
            self.assertEqual((state["startTick"], state["status"]), (105000, ""))
            state = driver.send("wait 2500")[-1]
            self.assertEqual((state["tick"], state["status"]), (107500, "Time:2  Score:0"))
            state = driver.send("wait 60000")[-1]
            self.assertEqual((state["tick"], state["status"], state["score"]),
                             (167500, "Time:62  Score:0", 0))
            # A new deal stops the clock until the next first action, and
            # the status waits for it too.
            state = driver.send("command 57600")[-1]
            self.assertEqual((state["startTick"], state["score"], state["undo"]), (0, 0, []))
            self.assertEqual(state["status"], "")

    def test_stock_turns_three_and_comes_back(self):
        with Driver() as driver:
            stock = driver.state()["piles"][STOCK]["cards"]
            order = [c[0] for c in stock]
            state = driver.send("tap 20 20")[-1]
            waste = state["piles"][WASTE]["cards"]
            # The stock's top card lies lowest of the three; all three fan.
            self.assertEqual(waste, [[order[-1], 0, 40, 6], [order[-2], 0, 45, 6], [order[-3], 0, 50, 6]])
            for _ in range(7):
                state = driver.send("tap 20 20")[-1]
            self.assertEqual(state["piles"][STOCK]["cards"], [])
            self.assertEqual([c[1] for c in state["piles"][WASTE]["cards"]], [FACEDOWN] * 21 + [0] * 3)
            state = driver.send("tap 20 20")[-1]
            self.assertEqual(state["piles"][STOCK]["cards"], stock)
            self.assertEqual(state["piles"][WASTE]["cards"], [])
            self.assertEqual(state["undo"], [[3, 3, 0, 1]] * 8 + [[3, 24, 1, 0]])
            self.assertEqual(state["score"], 0)

    def test_size_lays_the_table_out_again(self):
        with Driver() as driver:
            state = driver.send("size 320 240")[-1]
            self.assertEqual(state["client"], [0, 0, 320, 240])
            # Pitch 320 * 2/15 = 42, margin (320 - 294) / 2 = 13.
            self.assertEqual(state["piles"][STOCK]["rect"], [13, 6, 38, 40])
            self.assertEqual([p["rect"] for p in state["piles"][2:9]],
                             [[13 + 42 * i, 46, 38 + 42 * i, 240] for i in range(7)])
            self.assertEqual(state["piles"][8]["cards"][-1][2:], [265, 46 + 6 * 2])
            # Too narrow: the pitch is kept at a card and 2 px, the margin at 2.
            state = driver.send("size 100 150")[-1]
            self.assertEqual([p["rect"][0] for p in state["piles"][2:9]], [2 + 27 * i for i in range(7)])
            self.assertEqual(state["piles"][12]["rect"], [2 + 27 * 6, 6, 27 + 27 * 6, 40])

    def test_shot_writes_the_view(self):
        with tempfile.TemporaryDirectory() as tmp:
            shots = [os.path.join(tmp, name) for name in ("a.png", "b.png")]
            status, out = run_script(["shot " + shots[0], "size 320 240", "shot " + shots[1],
                                      "shot " + os.path.join(tmp, "no", "such", "c.png")])
            self.assertEqual(status, 1)
            self.assertEqual(len(out), 1)
            self.assertIn("error", out[0])
            width, height, rows = read_png(shots[0])
            self.assertEqual((width, height), (240, 268))
            self.assertEqual(rows[2][2], (0, 127, 0))  # the table
            self.assertNotEqual(rows[20][20], (0, 127, 0))  # the stock's back
            self.assertEqual(read_png(shots[1])[:2], (320, 240))

    def test_painting_turns_a_column_top_card_and_a_tap_scores_it(self):
        with Driver() as driver:
            # Painted: the uncovered king lies face up at once, for nothing.
            state = driver.send(TEN_ONTO_JACK)[-1]
            self.assertEqual(state["piles"][3]["cards"], [[KING_OF_SPADES, 0, 40, 46]])
            self.assertEqual(state["piles"][8]["cards"][-1], [TEN_OF_DIAMONDS, 0, 200, 67])
            self.assertEqual(driver.send("tap 45 50")[-1]["score"], 0)
        with Driver() as driver:
            driver.send("autopaint off")
            state = driver.send(TEN_ONTO_JACK)[-1]
            self.assertEqual(state["piles"][3]["cards"], [[KING_OF_SPADES, FACEDOWN, 40, 46]])
            self.assertEqual(state["piles"][8]["cards"][-1][0], TEN_OF_DIAMONDS)
            # Not painted yet: a tap turns it and scores 5.
            state = driver.send("tap 45 50")[-1]
            self.assertEqual(state["piles"][3]["cards"], [[KING_OF_SPADES, 0, 40, 46]])
            self.assertEqual((state["score"], state["status"]), (5, "Time:0  Score:5"))
            self.assertEqual(state["undo"], [[1, 1, 3, 8], [2, 1, 3, -1]])
            state = driver.send("autopaint on")[-1]
            self.assertEqual(state["piles"][8]["cards"][-1], [TEN_OF_DIAMONDS, 0, 200, 67])
            # Undo takes the flip back with its points; the paint shows the
            # card face up again.
            state = driver.send("command 32777")[-1]
            self.assertEqual((state["score"], state["undo"]), (0, [[1, 1, 3, 8]]))
            self.assertEqual(state["status"], "Time:0  Score:0")
            state = driver.send("command 32777")[-1]
            self.assertEqual(state["piles"][3]["cards"][-1][:2], [TEN_OF_DIAMONDS, 0])
            self.assertEqual(len(state["piles"][8]["cards"]), 7)

    def test_a_drop_off_target_changes_nothing(self):
        with Driver() as driver:
            before = driver.state()
            # The ten of diamonds onto the eight of clubs (column 4): refused.
            state = driver.send("drag 43 51 139 67")[-1]
            self.assertEqual(state["piles"], before["piles"])
            self.assertEqual((state["undo"], state["dragging"]), ([], False))
            # A press and a move leave a drag going until the lift.
            self.assertTrue(driver.send("down 43 51")[-1]["dragging"])
            state = driver.send("move 203 70")[-1]
            self.assertTrue(state["dragging"])
            state = driver.send("up 203 70")[-1]
            self.assertEqual(state["piles"][TABLEAU[6]]["cards"][-1][0], TEN_OF_DIAMONDS)


if __name__ == "__main__":
    unittest.main()
