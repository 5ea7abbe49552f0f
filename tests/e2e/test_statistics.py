"""Statistics: a won, a lost and an abandoned game counted in their own file,
kept between runs, reset on request, a damaged file kept aside, and
Scores.dat never touched by any of it."""

import os
import tempfile
import unittest

from golf_solver import DEAL, STOCK, solve
from paintpot_player import after_step, touching
from parlour_driver import Driver, game_id, press_card, scores_file

STATISTICS, NEW, BOL_SETTINGS = "command 32844", "command 57600", "command 32793"
GOLF_TICK = 100010  # a Golf deal the solver wins
# Every table full of scores no game here reaches: nothing enters them.
FULL = scores_file([("Ann", [("Ann", 999999 - i, 60) for i in range(10)])] * 7)


def figures(driver):
    out = driver.send(STATISTICS)
    return out[0]["caption"], dict(out[0]["rows"])


def worst_step(state):
    """The ball whose colour floods the least: a game played past the par."""
    return min(touching(state), key=lambda cell: len(
        after_step(state, state["cells"][cell[0]][cell[1]])[1]))


class StatisticsTest(unittest.TestCase):
    def test_a_hint_or_a_press_that_moves_nothing_begins_no_game(self):
        # Klondike's hint tries the stock's turn on the first table, and takes it back.
        with tempfile.TemporaryDirectory() as data_dir, Driver(data_dir=data_dir) as driver:
            self.assertTrue(driver.send("command 32800")[-1]["hint"])
            self.assertEqual(driver.state()["startTick"], 0)
            # The first column's card lifted and put down where it lay: the
            # clock runs, as on the handheld, but nothing was played.
            left, top = driver.state()["piles"][2]["rect"][:2]
            driver.send("tap %d %d" % (left + 5, top + 5))
            self.assertNotEqual(driver.state()["startTick"], 0)
            driver.send(NEW)
            self.assertEqual(figures(driver)[1]["Games played"], "0")

    def test_a_game_called_over_keeps_its_score_as_a_best(self):
        # Golf's deal at 100001: every fitting top played before each turn of
        # the stock, until the game is called over with points.
        with tempfile.TemporaryDirectory() as data_dir, Driver(tick=100001, data_dir=data_dir) as driver:
            state = driver.send("command %d" % game_id("Golf"))[-1]
            while not state["gameOver"]:
                tops = [(p, state["piles"][p]["cards"][-1]) for p in range(2, 9)
                        if state["piles"][p]["cards"]]
                for pile, card in tops:
                    after = driver.send("tap %d %d" % (card[2] + 5, card[3] + 5))[-1]
                    if len(after["piles"][pile]["cards"]) < len(state["piles"][pile]["cards"]):
                        break
                else:
                    stock = after["piles"][STOCK]["rect"]
                    after = driver.send("tap %d %d" % (stock[0] + 5, stock[1] + 5))[-1]
                state = after
            self.assertGreater(state["score"], 0)
            driver.send(NEW)
            _, rows = figures(driver)
            self.assertEqual((rows["Games played"], rows["Games won"], rows["Best score"]),
                             ("1", "0", str(state["score"])))

    def test_won_lost_and_abandoned_games(self):
        with tempfile.TemporaryDirectory() as data_dir:
            scores = os.path.join(data_dir, "Scores.dat")
            with open(scores, "wb") as f:
                f.write(FULL)
            with Driver(tick=GOLF_TICK, data_dir=data_dir) as driver:
                state = driver.send("command %d" % game_id("Golf"))[-1]
                for move in solve(state):
                    state = press_card(driver, state, STOCK if move == DEAL else move)[-1]
                self.assertTrue(state["gameOver"])
                won_score = state["score"]
                caption, rows = figures(driver)
                self.assertEqual(caption, "Statistics: Golf")
                self.assertEqual(rows, {"Games played": "1", "Games won": "1", "Win rate": "100%",
                                        "Current streak": "1", "Longest streak": "1",
                                        "Best time": "0:00", "Best score": str(won_score)})
                # Begun, then left for a new deal: lost.
                state = driver.send(NEW)[-1]
                press_card(driver, state, STOCK)
                driver.send(NEW)
                _, rows = figures(driver)
                self.assertEqual((rows["Games played"], rows["Games won"], rows["Win rate"],
                                  rows["Current streak"], rows["Longest streak"]),
                                 ("2", "1", "50%", "0", "1"))
                # Another given up: with no streak to break, only its start is written.
                stock = driver.state()["piles"][STOCK]["rect"]
                self.assertTrue(driver.send("tap %d %d" % (stock[0] + 2, stock[1] + 2))[-1]["undo"])
                written = os.stat(os.path.join(data_dir, "Statistics.dat")).st_ino
                driver.send(NEW)
                self.assertEqual(os.stat(os.path.join(data_dir, "Statistics.dat")).st_ino, written)
                self.assertEqual(figures(driver)[1]["Games played"], "3")
                # Paintpot on a big board, flooded past its par: lost.
                driver.send("command %d" % game_id("Paintpot"))
                driver.send("answer values 16 16 9")
                state = driver.send(BOL_SETTINGS)[-1]
                while not state["gameOver"]:
                    c, r = worst_step(state)
                    state = driver.send("tap %d %d" % (c * state["cellWidth"] + 2,
                                                       r * state["cellHeight"] + 2))[-1]
                self.assertEqual(state["score"], 0)
                caption, rows = figures(driver)
                self.assertEqual(caption, "Statistics: Paintpot, 16 x 16, 9 colours")
                self.assertEqual((rows["Games played"], rows["Games won"], rows["Best score"]),
                                 ("1", "0", "-"))
                # Reset asks first.
                driver.send("answer reset")
                driver.send("answer no")
                out = driver.send(STATISTICS)
                self.assertEqual(out[0]["text"],
                                 "Reset the statistics of Paintpot, 16 x 16, 9 colours?")
                self.assertEqual(dict(out[1]["rows"])["Games played"], "1")
                driver.send("answer reset")
                driver.send("answer yes")
                driver.send("answer ok")
                driver.send(STATISTICS)
                _, rows = figures(driver)
                # No games: no rate, as no best time.
                self.assertEqual((rows["Games played"], rows["Win rate"], rows["Best time"]), ("0", "-", "-"))
            # The next run finds them; Golf's were not reset with Paintpot's.
            with Driver(data_dir=data_dir) as driver:
                driver.send("command %d" % game_id("Golf"))
                self.assertEqual(figures(driver)[1]["Games won"], "1")
            with open(scores, "rb") as f:
                self.assertEqual(f.read(), FULL)

    def test_two_programs_at_once_lose_nothing(self):
        with tempfile.TemporaryDirectory() as data_dir:
            with Driver(data_dir=data_dir) as one, Driver(data_dir=data_dir) as two:
                one.send("tap 20 20")  # each begins a game
                two.send("tap 20 20")
                one.send(NEW)  # and leaves it: lost
                self.assertEqual(figures(one)[1]["Games played"], "2")
                self.assertEqual(figures(two)[1]["Games played"], "2")

    def test_a_damaged_file_is_kept_aside(self):
        with tempfile.TemporaryDirectory() as data_dir:
            path = os.path.join(data_dir, "Statistics.dat")
            with open(path, "wb") as f:
                f.write(b"Parlour statistics 1\nKlondike\t1\t5\t0\t0\t-\t-\n")  # won > played
            with Driver(data_dir=data_dir) as driver:
                self.assertEqual(figures(driver)[1]["Games played"], "0")
                driver.send("tap 20 20")  # the stock: the game is begun
                self.assertEqual(figures(driver)[1]["Games played"], "1")
            with open(path + ".bad", "rb") as f:
                self.assertIn(b"\t5\t", f.read())
            with open(path, "rb") as f:
                self.assertEqual(f.read(),
                                 b"Parlour statistics 1\nKlondike\t1\t0\t0\t0\t-\t-\n")
            self.assertFalse(os.path.exists(os.path.join(data_dir, "Scores.dat")))


if __name__ == "__main__":
    unittest.main()
