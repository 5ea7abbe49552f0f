"""Spider through the driver: the settings dialog with each choice, the
deal, a run dragged and taken back, a row dealt from the stock."""

import unittest
from collections import Counter

from parlour_driver import FACEDOWN, Driver, game_id

SPIDER = "command %d" % game_id("Spider")
NEW, UNDO = "command 57600", "command 32777"
STOCK, COMPLETED = 0, 1
COLUMNS = range(2, 12)
def rank(index):
    return index % 13


SETTINGS = {"event": "dialog", "template": 133, "caption": "Spider settings", "choice": 0}


def face_up_run(column):
    """The cards of the run at the top of a column: one suit, descending."""
    cards = column["cards"]
    start = len(cards) - 1
    while (start > 0 and not cards[start - 1][1] & FACEDOWN
           and cards[start - 1][0] == cards[start][0] + 1 and rank(cards[start][0]) != 12):
        start -= 1
    return cards[start:]


def find_move(piles):
    """A run that fits on another column's top card: (source, run, target)."""
    for src in COLUMNS:
        run = face_up_run(piles[src])
        for dst in COLUMNS:
            top = piles[dst]["cards"][-1:] or None
            if dst != src and top and rank(top[0][0]) == rank(run[0][0]) + 1:
                return src, run, dst
    return None


class SpiderTest(unittest.TestCase):
    def test_each_choice_deals_its_deck(self):
        decks = {"choice 0": {i: 8 for i in range(39, 52)},
                 "choice 1": {i: 4 for i in range(26, 52)},
                 "choice 2": {i: 2 for i in range(52)},
                 "cancel": {i: 8 for i in range(39, 52)}}
        with Driver() as driver:
            for answer, deck in decks.items():
                driver.send("answer " + answer)
                out = driver.send(SPIDER)
                self.assertEqual(out[:-1], [{**SETTINGS, "answer": answer}])
                state = out[-1]
                self.assertEqual((state["view"], state["caption"]), ("CSpider", "Spider - Parlour"))
                piles = state["piles"]
                self.assertEqual(Counter(c[0] for p in piles for c in p["cards"]), deck)
                self.assertEqual([len(piles[c]["cards"]) for c in COLUMNS], [6] * 4 + [5] * 6)
                for c in COLUMNS:
                    self.assertEqual([card[1] for card in piles[c]["cards"]],
                                     [FACEDOWN] * (len(piles[c]["cards"]) - 1) + [0])
                self.assertEqual((len(piles[STOCK]["cards"]), piles[COMPLETED]["cards"]), (50, []))
            # "New" asks once more, from "1 Type" again.
            out = driver.send(NEW)
            self.assertEqual(out[:-1], [{**SETTINGS, "answer": "cancel"}])

    def test_a_run_moves_and_comes_back_and_a_row_deal_cannot_be_undone(self):
        with Driver() as driver:
            driver.send("answer choice 2")
            state = driver.send(SPIDER)[-1]
            move = find_move(state["piles"])
            while move is None:  # a row deal brings one
                stock = state["piles"][STOCK]["rect"]
                state = driver.send("tap %d %d" % (stock[0] + 5, stock[1] + 5))[-1]
                move = find_move(state["piles"])
            src, run, dst = move
            before = state["piles"]
            _, _, left, top = run[0]
            target = before[dst]["cards"][-1]
            # Pressed 3 pixels into the card, dropped 8 into the target: the
            # stylus is over the target, whatever else the run touches.
            drag = "drag %d %d %d %d" % (left + 3, top + 3, target[2] + 8, target[3] + 17)
            moved = driver.send(drag)[-1]
            self.assertEqual([c[0] for c in moved["piles"][dst]["cards"][-len(run):]],
                             [c[0] for c in run])
            self.assertEqual(moved["undo"], [[1, len(run), src, dst]])
            back = driver.send(UNDO)[-1]
            for pile in (src, dst):
                self.assertEqual([c[0] for c in back["piles"][pile]["cards"]],
                                 [c[0] for c in before[pile]["cards"]])

            # A row: one face-up card on every column, and no way back past it.
            driver.send(drag)
            stock = back["piles"][STOCK]
            dealt = driver.send("tap %d %d" % (stock["rect"][0] + 5, stock["rect"][1] + 5))[-1]
            self.assertEqual(len(dealt["piles"][STOCK]["cards"]), len(stock["cards"]) - 10)
            for c in COLUMNS:
                self.assertEqual(dealt["piles"][c]["cards"][-1][1], 0)
            self.assertEqual(dealt["undo"], [])
            out = driver.send(UNDO)
            self.assertEqual(out[0], {"error": "disabled", "command": 32777})


if __name__ == "__main__":
    unittest.main()
