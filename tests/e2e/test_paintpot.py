"""Paintpot played to the end through the driver, one step a second, each
step checked against the player's own flooding of the board: a greedy game
short enough for the hi-score list, and one of more than 25 steps, which
scores nothing and ends with the box alone."""

import os
import unittest

from paintpot_player import PAINTPOT, FLOODED, after_step, area_of, choose, flooded_area, tap_command
from parlour_driver import Driver, scores_file

SHORT_GAME_TICK = 100003  # the greedy player needs 22 steps
LONG_GAME_TICK = 100001  # the greedy player needs 29 steps
PAINTPOT_TABLE = 6


class PaintpotTest(unittest.TestCase):
    def play(self, driver, answer):
        """Plays greedily to the end, answering the end's modal with answer;
        returns the number of steps, the last state and the events of the
        last step."""
        state = driver.send("command %d" % PAINTPOT)[-1]
        self.assertEqual((state["view"], state["title"], state["caption"]),
                         ("CPaintpot", "Paintpot", "Paintpot - Parlour"))
        self.assertEqual((state["cols"], state["rows"], state["colors"]), (14, 14, 6))
        self.assertEqual((state["steps"], state["score"], state["startTick"]), (0, 0, 0))
        # The corner's group, or the corner alone.
        self.assertEqual(area_of(state), flooded_area(state["cells"], [(0, 0)]))
        steps = 0
        while True:
            cell = choose(state)
            cells, area = after_step(state, state["cells"][cell[0]][cell[1]])
            last = len(area) == 14 * 14
            if last:
                driver.send("answer " + answer)
            out = driver.send(tap_command(state, cell))
            state, steps = out[-1], steps + 1
            self.assertEqual(state["cells"], cells, "step %d" % steps)
            self.assertEqual(area_of(state), area, "step %d" % steps)
            self.assertEqual(state["steps"], steps)
            self.assertEqual(state["title"], "Paintpot Steps done:%d" % steps)
            self.assertEqual(state["gameOver"], last)
            if last:
                return steps, state, out[:-1]
            self.assertEqual(len(out), 1)
            state = driver.send("wait 1000")[-1]

    def test_a_short_game_enters_the_hi_score_list(self):
        with Driver(tick=SHORT_GAME_TICK) as driver:
            steps, state, events = self.play(driver, "name Eve")
            self.assertEqual(steps, 22)
            self.assertEqual([e["template"] for e in events], [132, 131])
            self.assertEqual(events[0]["prompt"],
                             "Je staat op plaats 1 in de HiScore lijst!!\nGeef je naam:")
            self.assertEqual(events[1]["rows"], [["1", "Eve", "0:21", "3"]])
            self.assertEqual((state["score"], state["status"]), (3, "Time:21  Score:3"))

            self.assertEqual(driver.query("scores")["scores"][PAINTPOT_TABLE]["entries"],
                             [["Eve", 3, 21]])
            with open(os.path.join(driver.data_dir, "Scores.dat"), "rb") as f:
                self.assertEqual(f.read(), scores_file(
                    [("", [])] * PAINTPOT_TABLE + [("Eve", [("Eve", 3, 21)])]))

            # The finished board takes no more taps; "New" starts afresh.
            self.assertEqual(driver.send("tap 10 10"), [state])
            fresh = driver.send("command 57600")[-1]
            self.assertEqual((fresh["view"], fresh["title"], fresh["steps"], fresh["gameOver"]),
                             ("CPaintpot", "Paintpot", 0, False))

    def test_more_than_25_steps_score_nothing_and_end_with_the_box(self):
        with Driver(tick=LONG_GAME_TICK) as driver:
            steps, state, events = self.play(driver, "no")
            self.assertEqual(steps, 29)
            self.assertEqual(events, [{
                "event": "messagebox", "buttons": "yesno", "answer": "no",
                "text": "Game over! 29 steps done.\nin 28 seconds\nScore:0\n\nStart new game?"}])
            self.assertEqual(state["score"], 0)
            self.assertEqual(driver.query("scores")["scores"][PAINTPOT_TABLE]["entries"], [])
            self.assertFalse(os.path.exists(os.path.join(driver.data_dir, "Scores.dat")))
            self.assertEqual({label for col in state["regions"] for label in col}, {FLOODED})


if __name__ == "__main__":
    unittest.main()
