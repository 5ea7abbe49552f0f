"""On a deal its solver wins, taking the hint again and again, by keys alone,
wins the game: a move along the winning line keeps the rest of it."""

import unittest

from parlour_driver import Driver, game_id, move_run, press_card

# Deals the solvers win, as the solver tests pin them: game, deal, Spider's
# suits (None for the other games).
WON_DEALS = [("Klondike", 31676, None), ("Cruel", 7919, None), ("Golf", 110866, None),
             ("Spider", 39595, 0), ("Freecell", 15838, None)]
WASTE, FOUNDATION = 2, 4


class HintWinsTest(unittest.TestCase):
    def test_taking_the_hint_wins(self):
        for name, deal, suits in WON_DEALS:
            with self.subTest(game=name), Driver(tick=deal) as driver:
                if suits is not None:
                    driver.send("answer choice %d" % suits)
                if name != "Klondike":
                    driver.send("command %d" % game_id(name))
                state = driver.solve()
                for _ in range(600):
                    if state["gameOver"]:
                        break
                    self.assertEqual(state["verdict"], "winnable")
                    hint = driver.send("key H")[-1]["hint"]
                    if "tap" in hint:
                        state = press_card(driver, state, hint["tap"])[-1]
                    elif hint["to"] < 0:  # home, as a double tap sends it
                        state = press_card(driver, state, hint["from"], hint["card"],
                                           double=True)[-1]
                    else:
                        state = move_run(driver, state, hint["from"], hint["card"],
                                         hint["to"])[-1]
                self.assertTrue(state["gameOver"])
                home = sum(len(p["cards"]) for p in state["piles"]
                           if p["kind"] in (WASTE, FOUNDATION))
                self.assertEqual(home, 104 if name == "Spider" else 52)


if __name__ == "__main__":
    unittest.main()
