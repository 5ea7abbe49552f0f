"""Gemfield through the driver: picking it, a swap that scores and one that
is taken back (with the time their animations take), the settings dialog
closed and answered, and a small board played to its end."""

import unittest

from parlour_driver import Driver, game_id

GEMFIELD = "command %d" % game_id("Gemfield")
BOL_SETTINGS, NEW = "command 32793", "command 57600"
SWAP_MS = 11 * 25  # ten frames and the rest frame


def has_run(cells):
    cols, rows = len(cells), len(cells[0])
    for c in range(cols):
        for r in range(rows):
            w = cells[c][r]
            if c + 2 < cols and cells[c + 1][r] == w == cells[c + 2][r]:
                return True
            if r + 2 < rows and cells[c][r + 1] == w == cells[c][r + 2]:
                return True
    return False


def swaps(cells):
    """Every swap of two neighbours, with whether it leaves a run."""
    cols, rows = len(cells), len(cells[0])
    for c in range(cols):
        for r in range(rows):
            for dc, dr in ((1, 0), (0, 1)):
                if c + dc < cols and r + dr < rows:
                    board = [list(col) for col in cells]
                    board[c][r], board[c + dc][r + dr] = board[c + dc][r + dr], board[c][r]
                    yield (c, r, c + dc, r + dr), has_run(board)


def drag(state, move):
    c1, r1, c2, r2 = move
    w, h = state["cellWidth"], state["cellHeight"]
    return "drag %d %d %d %d" % (c1 * w + w // 2, r1 * h + h // 2, c2 * w + w // 2, r2 * h + h // 2)


class GemfieldTest(unittest.TestCase):
    def setUp(self):
        self.driver = Driver()
        self.addCleanup(self.driver.close)

    def board_without_runs(self):
        """A new board on which some swaps score and others do not."""
        state = self.driver.send(GEMFIELD)[-1]
        while has_run(state["cells"]) or len({ok for _, ok in swaps(state["cells"])}) < 2:
            self.driver.send("wait 7")
            state = self.driver.send(NEW)[-1]
        return state

    def test_a_swap_that_scores_and_one_taken_back(self):
        state = self.board_without_runs()
        self.assertEqual([state[k] for k in ("cols", "rows", "colors", "cellWidth", "cellHeight")],
                         [7, 8, 8, 34, 33])
        self.assertEqual([len(col) for col in state["cells"] + state["regions"]], [8] * 14)
        idle = next(m for m, ok in swaps(state["cells"]) if not ok)
        after = self.driver.send(drag(state, idle))[-1]
        self.assertEqual(after["cells"], state["cells"])
        self.assertEqual(after["tick"] - state["tick"], 2 * SWAP_MS)  # there and back
        self.assertEqual(after["score"], 0)
        self.assertEqual(after["startTick"], state["tick"])

        scoring = next(m for m, ok in swaps(after["cells"]) if ok)
        done = self.driver.send(drag(after, scoring))[-1]
        self.assertGreaterEqual(done["score"], 6)
        self.assertEqual(done["score"] % 2, 0)  # n(n - 1) per group
        # The swap, then at least one vanishing (11 x 40) and one fall (11 x 15).
        self.assertGreaterEqual(done["tick"] - after["tick"], SWAP_MS + 11 * 40 + 11 * 15)
        self.assertFalse(has_run(done["cells"]))
        self.assertTrue(all(1 <= w <= 8 for col in done["cells"] for w in col))
        self.assertIn("Score:%d" % done["score"], done["status"])

    def test_settings_change_the_board_only_with_ok(self):
        state = self.board_without_runs()
        out = self.driver.send(BOL_SETTINGS)  # closed without OK
        self.assertEqual(out[0], {"event": "dialog", "template": 134, "caption": "Bol setup",
                                  "answer": "cancel", "values": ["7", "8", "8"]})
        self.assertEqual(out[-1]["cells"], state["cells"])
        self.driver.send("answer values 17 4 3")  # refused, the refusal seen,
        self.driver.send("answer ok")
        self.driver.send("answer values 4 4 3")  # then corrected
        out = self.driver.send(BOL_SETTINGS)
        self.assertEqual(out[0]["text"], "Enter an integer between 2 and 16.")
        self.assertEqual(out[1]["answer"], "values 4 4 3")
        state = out[-1]
        self.assertEqual([state[k] for k in ("cols", "rows", "colors", "cellWidth", "cellHeight")],
                         [4, 4, 3, 60, 67])
        self.assertEqual((state["score"], state["startTick"]), (0, 0))

    def test_a_small_board_played_to_its_end(self):
        # Six colours on 4 x 4: some boards offer a run, and the new balls
        # soon leave no swap that makes one.
        self.driver.send(GEMFIELD)
        self.driver.send("size 48 48")  # small pictures, quick frames
        state = self.driver.state()
        for _ in range(2000):
            if state["gameOver"]:
                break
            scoring = [m for m, ok in swaps(state["cells"]) if ok]
            if not scoring:  # no swap makes a run: only a new game helps
                self.driver.send("wait 7")
                self.driver.send("answer values 4 4 6")
                state = self.driver.send(BOL_SETTINGS)[-1]
                continue
            state = self.driver.send(drag(state, scoring[0]))[-1]
        self.assertTrue(state["gameOver"])
        self.assertEqual([m for m, ok in swaps(state["cells"]) if ok], [])
        dialogs = [e for e in self.driver.events if e["event"] == "dialog"]
        self.assertEqual(dialogs[-2]["template"], 132)  # the name, then the list
        self.assertEqual(dialogs[-1]["template"], 131)
        table = self.driver.query("scores")["scores"][5]
        # The name dialog was closed without a name.
        self.assertEqual(table["entries"][0][:2], ["", state["score"]])
        self.assertEqual(table["entries"][0][2], (state["tick"] - state["startTick"]) // 1000)


if __name__ == "__main__":
    unittest.main()
