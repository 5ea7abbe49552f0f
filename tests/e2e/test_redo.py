"""Redo in every card game: what undo took back comes back as it was, with
its points, and a new move clears what could be redone."""

import unittest

from parlour_driver import Driver, card_game_ids, game_id
from test_deals import play_something

UNDO, REDO = "command 32777", "command 32842"


def position(state):
    return {k: state[k] for k in ("piles", "score", "undo")}


def redo_enabled(driver):
    return next(i["enabled"] for i in driver.query("menu")["menu"] if i.get("id") == 32842)


class RedoTest(unittest.TestCase):
    def test_redo_after_undo_gives_back_the_state_and_score(self):
        for game in card_game_ids():
            with self.subTest(game=game), Driver() as driver:
                state = driver.send("command %d" % game)[-1]
                self.assertFalse(redo_enabled(driver))
                # Spider's row deals clear the undo list: play on past them.
                for _ in range(3):
                    state = play_something(driver, state)
                while not state["undo"]:
                    state = play_something(driver, state)
                played = position(driver.state())
                self.assertGreater(len(played["undo"]), 0)
                steps = min(2, len(played["undo"]))
                for _ in range(steps):
                    driver.send(UNDO)
                self.assertNotEqual(position(driver.state()), played)
                self.assertTrue(redo_enabled(driver))
                for _ in range(steps):
                    driver.send(REDO)
                self.assertEqual(position(driver.state()), played)
                self.assertFalse(redo_enabled(driver))
                # Undone again, then a new move: nothing is left to redo.
                driver.send(UNDO)
                play_something(driver, driver.state())
                self.assertFalse(redo_enabled(driver))
                self.assertEqual(driver.send(REDO)[0], {"error": "disabled", "command": 32842})

    def test_points_come_back_with_the_move(self):
        with Driver() as driver:
            # Golf: a column's card played onto the waste scores.
            state = driver.send("command %d" % game_id("Golf"))[-1]
            while state["score"] == 0:
                state = play_something(driver, state, reverse=True)
            scored = state["score"]
            while driver.state()["score"] == scored:
                driver.send(UNDO)
            while driver.state()["score"] != scored:
                driver.send(REDO)
            self.assertEqual(position(driver.state()), position(state))

    def test_a_move_redone_into_a_table_with_nowhere_to_go_calls_it_over_again(self):
        with Driver() as driver:
            driver.send("command %d" % game_id("Golf"))
            driver.send("answer values 5435380")
            driver.send("command 32841")
            keys = ["Return"] * 16 + ["Tab"] * 8 + ["Return", "Left", "Left", "Return", "Right",
                                                    "Return", "Left", "Left", "Left"]
            for key in keys:
                driver.send("key %s" % key)
            driver.send("answer no")
            called = [line for line in driver.send("key Return") if line.get("event") == "messagebox"]
            self.assertTrue(called[0]["text"].startswith("No more moves."))
            driver.send(UNDO)
            self.assertFalse(driver.state()["gameOver"])
            driver.send("answer no")
            again = [line for line in driver.send(REDO) if line.get("event") == "messagebox"]
            self.assertEqual(again[0]["text"], called[0]["text"])
            self.assertTrue(driver.state()["gameOver"])


if __name__ == "__main__":
    unittest.main()
