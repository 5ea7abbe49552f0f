"""The program under input a person would not give on purpose: presses with
no lift between them, numbers out of every range, malformed commands."""

import unittest

from parlour_driver import Driver, FACEDOWN, card_faults, card_game_ids, run_script


class PressDuringDragTest(unittest.TestCase):
    def test_the_reported_press_during_a_drag(self):
        status, out = run_script(["down 52 60", "tap 22 6", "state"], tick=3260623)
        self.assertEqual(status, 0)
        self.assertFalse(out[-1]["dragging"])
        self.assertEqual(card_faults(out[-1]), [])

    def test_every_card_game_drops_the_run_before_the_next_press(self):
        with Driver() as driver:
            for game in card_game_ids(driver):
                state = driver.send("command %d" % game)[-1]
                points = [(c[2] + 3, c[3] + 3) for pile in state["piles"] for c in pile["cards"]
                          if not c[1] & FACEDOWN][:12]
                for i, (x, y) in enumerate(points):
                    state = driver.send("down %d %d" % (x, y))[-1]
                    driver.send("move %d %d" % (x + 40, y + 30))
                    nx, ny = points[(i * 5 + 3) % len(points)]
                    state = driver.send("dblclk %d %d" % (nx, ny) if i % 3 == 2
                                        else "down %d %d" % (nx, ny))[-1]
                    self.assertEqual(card_faults(state), [], (game, i))
                    state = driver.send("up %d %d" % (nx, ny))[-1]
                    self.assertFalse(state["dragging"])
                    self.assertEqual(card_faults(state), [], (game, i))


if __name__ == "__main__":
    unittest.main()
