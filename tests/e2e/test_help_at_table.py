"""Help at the table through the driver: games with nowhere left to go are
called over with a message box, a won game never is, and the hint shows in
the state until the next input or three seconds."""

import unittest

from golf_solver import DEAL, STOCK, solve
from parlour_driver import Driver, game_id, press_card

STUCK_TEXT = "No more moves.\nin %d seconds\nScore:%d\n\nStart new game?"
UNDO, NEW, BOL_SETTINGS = 32777, 57600, 32793


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def tap_pile(driver, state, pile, times=1):
    for _ in range(times):
        state = driver.send("tap %d %d" % centre(state["piles"][pile]["rect"]))[-1]
    return state


def top_into_cells(driver, state):
    """Freecell: the tops of the first four columns into the four cells."""
    for column in range(4):
        card = state["piles"][column]["cards"][-1]
        cell = state["piles"][12 + column]["rect"]
        state = driver.send("drag %d %d %d %d" % (card[2] + 5, card[3] + 5, cell[0] + 5,
                                                  cell[1] + 5))[-1]
    return state


def small_board(values):
    def play(driver, state):
        driver.send("answer values " + values)
        return driver.send("command %d" % BOL_SETTINGS)[-1]
    return play


# Game, deal tick, how the pinned deal gets stuck, whether undo is left.
STUCK = [
    ("Golf", 100001, lambda d, s: tap_pile(d, s, 0, 16), True),  # the stock out, no play
    ("Cruel", 100002, lambda d, s: tap_pile(d, s, 0), False),  # a redeal gives the same
    ("Klondike", 100109, lambda d, s: tap_pile(d, s, 0), True),  # no pass turns up a play
    ("Freecell", 100005, top_into_cells, True),
    ("Spider", 100002, lambda d, s: tap_pile(d, s, 0, 5), False),  # four suits, stock out
    ("Gemfield", 100000, small_board("2 2 4"), False),  # no run fits a 2 x 2 board
    ("Paintpot", 100000, small_board("2 2 2"), False),  # dealt in one colour
]


class HelpAtTheTableTest(unittest.TestCase):
    def test_a_stuck_game_is_called_over(self):
        for game, tick, play, undoable in STUCK:
            with self.subTest(game), Driver(tick=tick) as driver:
                if game == "Spider":
                    driver.send("answer choice 2")
                state = play(driver, driver.send("command %d" % game_id(game))[-1])
                boxes = [e for e in driver.events if e.get("event") == "messagebox"]
                self.assertEqual([b["text"] for b in boxes],
                                 [STUCK_TEXT % (0, state["score"])])
                self.assertEqual(boxes[0]["buttons"], "yesno")
                self.assertTrue(state["gameOver"])
                # No leaves the table: the clock has stopped.
                later = driver.send("wait 5000")[-1]
                self.assertEqual((later["status"], later.get("piles")),
                                 (state["status"], state.get("piles")))
                menu = {i["id"]: i for i in driver.query("menu")["menu"] if "id" in i}
                self.assertEqual(menu[UNDO]["enabled"], undoable)
                if undoable:
                    # An undo reopens the game, its clock going on from where it stopped.
                    reopened = driver.send("command %d" % UNDO)[-1]
                    self.assertFalse(reopened["gameOver"])
                    self.assertEqual(reopened["startTick"], state["startTick"] + 5000)

    def test_yes_deals_a_new_game(self):
        with Driver(tick=100001) as driver:
            state = tap_pile(driver, driver.send("command %d" % game_id("Golf"))[-1], 0, 15)
            driver.send("answer yes")
            fresh = tap_pile(driver, state, 0)
            self.assertEqual(driver.events[-1]["answer"], "yes")
            self.assertFalse(fresh["gameOver"])
            self.assertEqual((len(fresh["piles"][STOCK]["cards"]), fresh["undo"]), (16, []))

    def test_a_won_game_is_never_called_stuck(self):
        with Driver(tick=100010) as driver:
            state = driver.send("command %d" % game_id("Golf"))[-1]
            for move in solve(state):
                state = press_card(driver, state, STOCK if move == DEAL else move)[-1]
            self.assertTrue(state["gameOver"])
            self.assertEqual([e.get("template", e.get("text")) for e in driver.events], [132, 131])

    def test_the_hint_shows_until_the_next_input_or_three_seconds(self):
        with Driver() as driver:
            state = driver.state()
            self.assertIsNone(state["hint"])
            shown = driver.send("key H")[-1]
            hint = shown["hint"]
            self.assertEqual(set(hint), {"from", "card", "count", "to"})
            self.assertRegex(shown["status"], "^Hint: (A|[2-9]|10|J|Q|K)[\u2660-\u2666] ")
            self.assertEqual(shown["piles"], state["piles"])
            self.assertIsNotNone(driver.send("wait 2900")[-1]["hint"])
            self.assertIsNone(driver.send("wait 100")[-1]["hint"])
            # Taken as it says, the hint is a move the game takes.
            self.assertIsNotNone(driver.send("key H")[-1]["hint"])
            after = driver.send("drag %d %d %d %d" % (
                *[c + 5 for c in shown["piles"][hint["from"]]["cards"][hint["card"]][2:]],
                *centre(shown["piles"][hint["to"]]["rect"])))[-1]
            self.assertIsNone(after["hint"])
            self.assertNotEqual(after["piles"], state["piles"])
            # Golf's plays are taps; a key takes the hint away.
            driver.send("command %d" % game_id("Golf"))
            after = driver.send("key H")[-1]
            self.assertEqual(set(after["hint"]), {"tap"})
            self.assertRegex(after["status"], "^Hint: (play .* onto .*|deal from the stock)$")
            self.assertIsNone(driver.send("key Tab")[-1]["hint"])
            # The ball games: a swap, and a tap.
            shown = driver.send("command %d" % game_id("Gemfield"))[-1]
            hint = driver.send("key H")[-1]["hint"]
            self.assertEqual(set(hint), {"col", "row", "toCol", "toRow"})
            driver.send("command %d" % game_id("Paintpot"))
            hint = driver.send("key H")[-1]["hint"]
            self.assertEqual(set(hint), {"col", "row"})


if __name__ == "__main__":
    unittest.main()
