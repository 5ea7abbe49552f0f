"""Deals by number: the same number deals the same table whether the clock
gave it, the "Choose deal..." dialog or a restart; a few numbers pinned per
game, so that a deal is the same on every machine and in every build."""

import unittest

from parlour_driver import Driver, game_id

RESTART, CHOOSE = "command 32840", "command 32841"
GAMES = ["Klondike", "Cruel", "Golf", "Spider", "Freecell", "Gemfield", "Paintpot"]
# The first cards of a deal in pile order (card games), or the first column's
# balls: pinned here as literal data.
PINNED = {
    ("Klondike", 1): [13, 18, 3, 49, 36, 29, 20, 26],
    ("Klondike", 4294967295): [25, 20, 13, 3, 18, 46, 5, 39],
    ("Cruel", 1): [23, 19, 16, 18, 41, 36, 10, 25],
    ("Cruel", 4294967295): [48, 51, 21, 27, 42, 3, 9, 5],
    ("Golf", 1): [13, 18, 3, 49, 36, 29, 20, 26],
    ("Golf", 4294967295): [25, 20, 13, 3, 18, 46, 5, 39],
    ("Spider", 1): [51, 51, 43, 43, 51, 46, 40, 51],
    ("Spider", 4294967295): [47, 46, 39, 44, 44, 40, 44, 51],
    ("Freecell", 1): [25, 27, 10, 28, 15, 46, 6, 19],
    ("Freecell", 4294967295): [49, 24, 23, 14, 2, 41, 36, 12],
    ("Gemfield", 1): [2, 4, 7, 5, 2, 5, 7, 7],
    ("Gemfield", 4294967295): [4, 4, 7, 6, 5, 7, 6, 6],
    ("Paintpot", 1): [6, 6, 5, 5, 6, 5, 1, 1, 5, 3, 6, 6, 2, 4],
    ("Paintpot", 4294967295): [6, 4, 3, 6, 1, 5, 4, 4, 1, 3, 2, 1, 6, 4],
}


def table(state):
    """What a deal decides: every card and its face, or every ball."""
    if "piles" in state:
        return [[card[:2] for card in pile["cards"]] for pile in state["piles"]]
    return state["cells"]


def first_cards(state):
    if "piles" in state:
        return [card[0] for pile in state["piles"] for card in pile["cards"]][:8]
    return state["cells"][0]


def open_game(driver, name, suits="choice 0"):
    if name == "Spider":
        driver.send("answer " + suits)
    return driver.send("command %d" % game_id(name))[-1]


def play_something(driver, state, reverse=False):
    """Makes some move that changes the table: a tap, else a drag from one
    pile's top card (or ball) to another place; the piles (or cells) tried
    in list order, or from the last."""
    before = table(state)
    if "piles" in state:
        places = [((p["cards"][-1][2] + 5, p["cards"][-1][3] + 5) if p["cards"] else
                   (p["rect"][0] + 5, p["rect"][1] + 5)) for p in state["piles"]]
        places = places[::-1] if reverse else places
    else:
        w, h = state["cellWidth"], state["cellHeight"]
        places = [(c * w + w // 2, r * h + h // 2)
                  for c in range(state["cols"]) for r in range(state["rows"])]
    for x, y in places:
        state = driver.send("tap %d %d" % (x, y))[-1]
        if table(state) != before:
            return state
    for x, y in places:
        for tx, ty in places:
            if abs(tx - x) + abs(ty - y) > 80 and "cells" in state:
                continue  # a ball swaps only with a neighbour
            state = driver.send("drag %d %d %d %d" % (x, y, tx, ty))[-1]
            if table(state) != before:
                return state
    raise AssertionError("no move changed the table")


class DealsTest(unittest.TestCase):
    def test_a_chosen_deal_is_the_deal_of_that_tick_and_restarts_as_dealt(self):
        for name in GAMES:
            for number in (1, 123456, 4294967295):
                with self.subTest(game=name, deal=number):
                    with Driver(tick=number) as driver:
                        by_clock = open_game(driver, name)
                    self.assertEqual(by_clock["deal"], number)
                    with Driver() as driver:
                        open_game(driver, name)
                        driver.send("answer values %d" % number)
                        out = driver.send(CHOOSE)
                        self.assertEqual(out[0]["values"], ["100000"])  # the deal on the table
                        chosen = out[-1]
                        self.assertEqual((chosen["deal"], table(chosen)),
                                         (number, table(by_clock)))
                        driver.send("wait 3000")
                        played = play_something(driver, chosen)
                        self.assertNotEqual(played["startTick"], 0)
                        restarted = driver.send(RESTART)[-1]
                        self.assertEqual((restarted["deal"], table(restarted)),
                                         (number, table(chosen)))
                        self.assertEqual((restarted["score"], restarted["startTick"]), (0, 0))
                        self.assertEqual(restarted.get("undo", []), [])
                    if (name, number) in PINNED:
                        self.assertEqual(first_cards(chosen), PINNED[(name, number)])

    def test_spider_restarts_with_its_suits_and_balls_with_their_board(self):
        with Driver() as driver:
            dealt = open_game(driver, "Spider", "choice 1")
            play_something(driver, dealt)
            out = driver.send(RESTART)
            self.assertEqual([o for o in out if "event" in o], [])  # not asked again
            self.assertEqual(table(out[-1]), table(dealt))
            driver.send("command %d" % game_id("Paintpot"))
            driver.send("answer values 5 6 4")
            board = driver.send("command 32793")[-1]
            self.assertEqual((board["cols"], board["rows"], board["colors"]), (5, 6, 4))
            play_something(driver, board)
            restarted = driver.send(RESTART)[-1]
            self.assertEqual((restarted["cols"], restarted["rows"], restarted["colors"]),
                             (5, 6, 4))
            self.assertEqual(table(restarted), table(board))

    def test_the_dialog_checks_the_number(self):
        with Driver() as driver:
            dealt = driver.state()
            for typed, told in (("abc", "Enter an integer."),
                                ("4294967296", "Enter an integer between 0 and 4294967295."),
                                ("-1", "Enter an integer between 0 and 4294967295.")):
                driver.send("answer values " + typed)
                driver.send("answer ok")
                driver.send("answer cancel")
                out = driver.send(CHOOSE)
                self.assertEqual(out[0]["text"], told)
                self.assertEqual(out[1]["answer"], "cancel")
                self.assertEqual(table(out[-1]), table(dealt))  # nothing dealt


if __name__ == "__main__":
    unittest.main()
