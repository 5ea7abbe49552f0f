"""Paintpot and Gemfield played to their end with the keys alone: the focus
moved with the arrows, Return to paint, and in Gemfield Return to pick a
ball up and an arrow to swap it with its neighbour."""

import unittest

from paintpot_player import PAINTPOT, after_step, area_of, choose
from parlour_driver import Driver, focus_cell, game_id, send_key

PAINTPOT_TICK = 100003  # the greedy player needs 22 steps
GEMFIELD_TICK = 100001  # over after some twenty swaps
SWAP_MS = 11 * 25  # the swap's ten frames and its rest frame
AWAY = {(1, 0): ("Right", "Left"), (0, 1): ("Down", "Up")}


def has_run(cells):
    cols, rows = len(cells), len(cells[0])
    return any(cells[c][r] == cells[c + dc][r + dr] == cells[c + 2 * dc][r + 2 * dr]
               for c in range(cols) for r in range(rows) for dc, dr in ((1, 0), (0, 1))
               if c + 2 * dc < cols and r + 2 * dr < rows)


def swaps(cells):
    """Every swap of a ball with its right or lower neighbour, with whether
    it leaves a run on the board."""
    for c in range(len(cells)):
        for r in range(len(cells[0])):
            for dc, dr in AWAY:
                if c + dc < len(cells) and r + dr < len(cells[0]):
                    board = [list(col) for col in cells]
                    board[c][r], board[c + dc][r + dr] = board[c + dc][r + dr], board[c][r]
                    yield (c, r, dc, dr), has_run(board)


class BallGameKeysTest(unittest.TestCase):
    def test_paintpot_painted_to_its_end(self):
        with Driver(tick=PAINTPOT_TICK) as driver:
            state = driver.send("command %d" % PAINTPOT)[-1]
            self.assertEqual((state["focus"], state["picked"]), ({"col": 0, "row": 0}, None))
            steps = 0
            while not state["gameOver"]:
                cell = choose(state)
                cells, area = after_step(state, state["cells"][cell[0]][cell[1]])
                if len(area) == state["cols"] * state["rows"]:
                    driver.send("answer name Painter")
                state = focus_cell(driver, state, *cell)
                out = driver.send("key Return")
                state, steps = out[-1], steps + 1
                self.assertEqual((state["cells"], area_of(state)), (cells, area), "step %d" % steps)
                self.assertEqual(state["steps"], steps)
                self.assertIsNone(state["picked"])
                # Return on a flooded ball paints nothing.
                if steps == 1:
                    state = focus_cell(driver, state, 0, 0)
                    self.assertEqual(send_key(driver, "Return")["steps"], 1)
            self.assertEqual(steps, 22)
            self.assertEqual([e["template"] for e in out[:-1]], [132, 131])
            self.assertEqual(out[1]["rows"], [["1", "Painter", "0:00", "3"]])
            self.assertEqual(state["score"], 3)

    def test_gemfield_swapped_until_no_run_can_be_made(self):
        with Driver(tick=GEMFIELD_TICK) as driver:
            state = driver.send("command %d" % game_id("Gemfield"))[-1]
            self.assertFalse(has_run(state["cells"]))
            # An arrow over the board's edge leaves the ball picked; Return
            # or Escape puts it back.
            self.assertEqual(send_key(driver, "Return")["picked"], {"col": 0, "row": 0})
            self.assertEqual(send_key(driver, "Left")["picked"], {"col": 0, "row": 0})
            self.assertIsNone(send_key(driver, "Return")["picked"])
            send_key(driver, "Return")
            self.assertIsNone(send_key(driver, "Escape")["picked"])
            # A swap that makes no run is taken back.
            idle = next(m for m, ok in swaps(state["cells"]) if not ok)
            state = focus_cell(driver, state, *idle[:2])
            send_key(driver, "Return")
            after = send_key(driver, AWAY[idle[2:]][0])
            self.assertEqual((after["cells"], after["score"]), (state["cells"], 0))
            self.assertEqual(after["tick"] - state["tick"], 2 * SWAP_MS)
            state, made = after, 0
            while not state["gameOver"]:
                c, r, dc, dr = next(m for m, ok in swaps(state["cells"]) if ok)
                # Every other swap from the far ball, back the other way.
                if made % 2:
                    c, r = c + dc, r + dr
                key = AWAY[dc, dr][made % 2]
                state = focus_cell(driver, state, c, r)
                self.assertEqual(send_key(driver, "Return")["picked"], {"col": c, "row": r})
                score, tick = state["score"], state["tick"]
                state = send_key(driver, key)
                made += 1
                self.assertGreaterEqual(state["score"], score + 6, "swap %d" % made)
                self.assertGreater(state["tick"] - tick, SWAP_MS)
                self.assertIsNone(state["picked"])
                self.assertEqual(state["focus"], {"col": c + (dc if made % 2 else -dc),
                                                  "row": r + (dr if made % 2 else -dr)})
                self.assertLess(made, 200)
            self.assertEqual([m for m, ok in swaps(state["cells"]) if ok], [])
            dialogs = [e for e in driver.events if e["event"] == "dialog"]
            self.assertEqual([d["template"] for d in dialogs], [132, 131])
            self.assertEqual(dialogs[1]["rows"][0][3], str(state["score"]))


if __name__ == "__main__":
    unittest.main()
