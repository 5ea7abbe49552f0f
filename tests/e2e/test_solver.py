"""The solvers through the driver: `state`'s verdict, `solve`, the verdict in
the bar, and "Winnable deals" in the menu."""

import unittest

from parlour_driver import game_id, run_script

WINNABLE_DEALS = 32797
STOCK = 0


def fields(state, *keys):
    return {k: state[k] for k in keys}


class SolverTest(unittest.TestCase):
    def test_a_won_deal(self):
        # Klondike deal 31676 is won by its solver; solve changes nothing else.
        status, [before, solved, again] = run_script(["state", "solve", "state"], tick=31676)
        self.assertEqual(status, 0)
        self.assertEqual(before["verdict"], "searching")
        self.assertEqual(solved["verdict"], "winnable")
        self.assertEqual(again, solved)
        keys = ("piles", "score", "startTick", "tick", "status", "undo", "gameOver")
        self.assertEqual(fields(solved, *keys), fields(before, *keys))

    def test_a_lost_deal_says_so_in_the_bar(self):
        golf = game_id("Golf")
        _, states = run_script(["command %d" % golf, "solve", "tap 20 100", "wait 1000", "state",
                                 "solve", "wait 1000", "state"])
        first, moved, solved, later = states
        self.assertEqual(first["verdict"], "unwinnable")
        self.assertEqual(first["status"], "")  # no clock yet, no bar
        self.assertEqual(len(moved["piles"][STOCK]["cards"]), 15)
        # Played on, a deal proved lost stays lost, with no new search.
        self.assertEqual(moved["verdict"], "unwinnable")
        self.assertEqual(moved["status"], "Time:1  Score:0  Cannot be won from here")
        self.assertEqual(solved["verdict"], "unwinnable")
        self.assertEqual(solved["status"], "Time:1  Score:0  Cannot be won from here")
        self.assertEqual(later["status"], "Time:2  Score:0  Cannot be won from here")

    def test_ball_games_have_no_verdict(self):
        _, [state] = run_script(["command %d" % game_id("Gemfield"), "solve"])
        self.assertEqual(state["verdict"], "unknown")

    def test_winnable_deals_in_the_menu(self):
        _, [menu, checked] = run_script(["menu", "command %d" % WINNABLE_DEALS, "menu"])
        item = [i for i in menu["menu"] if i.get("id") == WINNABLE_DEALS]
        self.assertEqual(item, [{"id": WINNABLE_DEALS, "text": "Winnable deals", "enabled": True,
                                 "checked": False}])
        self.assertTrue([i for i in checked["menu"] if i.get("id") == WINNABLE_DEALS][0]["checked"])


if __name__ == "__main__":
    unittest.main()
