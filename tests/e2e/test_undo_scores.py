"""Undo takes back the points its move made: an ace sent home and taken
back, again and again, leaves Klondike's score where it was; so does a Golf
play and its undo."""

import unittest

from parlour_driver import FOUNDATIONS, STOCK, TABLEAU, WASTE, Driver

UNDO = "command 32777"
GOLF = "command 32780"


def rank(index):
    return index % 13


def on_top(pile):
    """A point on a pile's top card, or its place when it is empty."""
    if pile["cards"]:
        _, _, left, top = pile["cards"][-1]
    else:
        left, top = pile["rect"][:2]
    return left + 12, top + 17


class UndoScoreTest(unittest.TestCase):
    def test_an_ace_home_and_back_five_times_scores_nothing(self):
        with Driver() as driver:
            state = driver.state()
            # Turn the stock until an ace shows on the waste or a column.
            for _ in range(30):
                ace = next((p for p in [WASTE, *TABLEAU] if state["piles"][p]["cards"]
                            and rank(state["piles"][p]["cards"][-1][0]) == 0), None)
                if ace is not None:
                    break
                state = driver.send("tap %d %d" % on_top(state["piles"][STOCK]))[-1]
            self.assertIsNotNone(ace, "no ace shows in this deal")
            before = state
            home = "drag %d %d %d %d" % (*on_top(state["piles"][ace]),
                                         *on_top(state["piles"][FOUNDATIONS[0]]))
            for _ in range(5):
                state = driver.send(home)[-1]
                self.assertEqual(len(state["piles"][FOUNDATIONS[0]]["cards"]), 1)
                self.assertEqual(state["score"], before["score"] + 10)
                state = driver.send(UNDO)[-1]
                self.assertEqual(state["piles"], before["piles"])
                self.assertEqual(state["score"], before["score"])
                self.assertEqual(state["status"], "Time:0  Score:%d" % before["score"])

    def test_a_golf_play_and_its_undo_leave_the_score(self):
        with Driver() as driver:
            state = driver.send(GOLF)[-1]
            columns = range(2, 9)

            def playable(state):
                top = state["piles"][1]["cards"][-1][0]
                return next((c for c in columns if state["piles"][c]["cards"] and rank(top) != 12
                             and abs(rank(state["piles"][c]["cards"][-1][0]) - rank(top)) == 1),
                            None)

            while playable(state) is None:
                state = driver.send("tap %d %d" % on_top(state["piles"][0]))[-1]
            column = playable(state)
            for _ in range(5):
                played = driver.send("tap %d %d" % on_top(state["piles"][column]))[-1]
                self.assertEqual(played["score"], state["score"] + 10)
                undone = driver.send(UNDO)[-1]
                self.assertEqual((undone["piles"], undone["score"]),
                                 (state["piles"], state["score"]))


if __name__ == "__main__":
    unittest.main()
