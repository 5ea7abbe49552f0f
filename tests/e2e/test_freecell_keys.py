"""A Freecell deal won with the keys alone: runs picked up by Return and
dropped by Return on another pile, cards sent home by Shift+Return."""

import unittest

from freecell_solver import CELLS, COLUMNS, FOUNDATIONS, Position, on, rank, solve, suit
from parlour_driver import Driver, focus_card, game_id, move_run, press_card, send_key

TICK = 100011  # a deal the solver wins in a moment
HOME_POINTS = 10


def foundation_for(state, card):
    """The foundation the card goes on: its suit's, or the first empty one
    for an ace."""
    piles = state["piles"]
    if rank(card) == 0:
        return next(f for f in FOUNDATIONS if not piles[f]["cards"])
    return next(f for f in FOUNDATIONS if piles[f]["cards"] and piles[f]["cards"][-1][0] == card - 1)


def holder(state, card):
    """The pile whose top card is card."""
    return next(p for p, pile in enumerate(state["piles"]) if pile["cards"] and pile["cards"][-1][0] == card)


class FreecellKeysTest(unittest.TestCase):
    def refused_drop_stays_picked(self, driver, state):
        """A drop the rules refuse keeps the run picked; Escape puts it back."""
        src = COLUMNS[0]
        card = state["piles"][src]["cards"][-1][0]
        dst = next(d for d in COLUMNS[1:] if not on(card, state["piles"][d]["cards"][-1][0]))
        picked = press_card(driver, state, src)[-1]["picked"]
        after = press_card(driver, driver.state(), dst)[-1]
        self.assertEqual((after["picked"], after["piles"]), (picked, state["piles"]))
        self.assertEqual(after["picked"], {"pile": src, "card": len(state["piles"][src]["cards"]) - 1,
                                           "count": 1})
        after = send_key(driver, "Escape")
        self.assertIsNone(after["picked"])
        self.assertEqual(after["piles"], state["piles"])
        return after

    def test_a_deal_won_by_keys(self):
        with Driver(tick=TICK) as driver:
            state = driver.send("command %d" % game_id("Freecell"))[-1]
            position = Position.from_state(state)
            moves = solve(position)
            self.assertIsNotNone(moves, "the solver found no win for the pinned deal")
            state = self.refused_drop_stays_picked(driver, state)
            homes = 0
            # The name is asked when the cards go home by themselves, before
            # the solver's last move.
            driver.send("answer name Cellar")
            for i, move in enumerate(moves):
                kind = move[0]
                if kind == "run":
                    out = move_run(driver, state, move[1], move[2], move[3])
                elif kind == "cell":
                    cell = next(c for c in CELLS if not state["piles"][c]["cards"])
                    out = move_run(driver, state, move[1], len(state["piles"][move[1]]["cards"]) - 1, cell)
                elif kind == "uncell":
                    out = move_run(driver, state, holder(state, move[1]), 0, move[2])
                elif holder(state, move[1]) in COLUMNS:
                    out = press_card(driver, state, holder(state, move[1]), double=True)
                else:
                    out = move_run(driver, state, holder(state, move[1]), 0, foundation_for(state, move[1]))
                state, position = out[-1], position.apply(move)
                homes += kind == "home"
                if state["gameOver"]:
                    break
                self.assertEqual(len(out), 1, "move %d: %s" % (i, move))
                after = Position.from_state(state)
                self.assertEqual((after.columns, after.cells, after.home),
                                 (position.columns, position.cells, position.home),
                                 "move %d: %s" % (i, move))
                self.assertIsNone(state["picked"])
                self.assertEqual(state["score"], HOME_POINTS * homes)
                self.assertFalse(state["gameOver"])
                if kind == "home":
                    top = state["piles"][holder(state, move[1])]
                    self.assertEqual(suit(top["cards"][0][0]), suit(move[1]))
            self.assertLess(homes, 52)  # the rest went home by themselves
            self.assertTrue(state["gameOver"])
            self.assertTrue(all(len(state["piles"][f]["cards"]) == 13 for f in FOUNDATIONS))
            self.assertEqual([e["template"] for e in out[:-1]], [132, 131])
            self.assertEqual(out[1]["rows"][0][:2], ["1", "Cellar"])
            # A finished game takes no more keys.
            state = focus_card(driver, state, FOUNDATIONS[0])
            self.assertEqual(driver.send("key Shift+Return")[-1]["piles"], state["piles"])


if __name__ == "__main__":
    unittest.main()
