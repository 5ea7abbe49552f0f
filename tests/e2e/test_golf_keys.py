"""A Golf deal won with the keys alone: the focus moved by Tab, Backtab, Up
and Down, every card turned or played by Return or Shift+Return."""

import unittest

from golf_solver import COLUMNS, DEAL, STOCK, WASTE, solve
from parlour_driver import Driver, game_id, press_card

TICK = 100010  # a deal the solver wins at once
PLAY_POINTS = 10


class GolfKeysTest(unittest.TestCase):
    def test_a_deal_won_by_keys(self):
        with Driver(tick=TICK) as driver:
            state = driver.send("command %d" % game_id("Golf"))[-1]
            moves = solve(state)
            self.assertIsNotNone(moves, "the pinned deal has no win")
            # A bad key name is an error line, and the run goes on.
            out = driver.send("key Shift+Home")
            self.assertIn("error", out[0])
            self.assertEqual(out[-1]["piles"], state["piles"])
            score = 0
            for i, move in enumerate(moves):
                last = i == len(moves) - 1
                if last:
                    driver.send("answer name Golfer")
                pile = STOCK if move == DEAL else move
                card = state["piles"][pile]["cards"][-1]
                # A double tap plays a card as a tap does.
                out = press_card(driver, state, pile, double=i % 2 == 1)
                state = out[-1]
                if last:
                    break
                self.assertEqual(len(out), 1, "move %d" % i)
                self.assertEqual(state["piles"][WASTE]["cards"][-1][0], card[0], "move %d" % i)
                score += 0 if move == DEAL else PLAY_POINTS
                self.assertEqual(state["score"], score)
                self.assertFalse(state["gameOver"])
            self.assertTrue(state["gameOver"])
            self.assertEqual(len(state["piles"][WASTE]["cards"]), 52)
            self.assertEqual([e["template"] for e in out[:-1]], [132, 131])
            self.assertEqual(out[0]["answer"], "name Golfer")
            self.assertEqual(out[1]["rows"][0][:2], ["1", "Golfer"])
            self.assertGreaterEqual(state["score"], score)
            # A finished game takes no more presses.
            self.assertEqual(driver.send("key Return")[-1]["piles"], state["piles"])


if __name__ == "__main__":
    unittest.main()
