"""A whole Klondike game won through the driver, from a deal pinned by its
tick, with every move checked against the solver's own play of the rules."""

import os
import tempfile
import unittest

from klondike_solver import (COLUMNS, DRAW, FACEDOWN, FOUNDATIONS, STOCK, WASTE, Table, command_for,
                             layout, points, solve)
from parlour_driver import Driver, run_script, scores_file

TICK = 100002  # a deal the solver wins in a moment (114 moves)
DATA_NAME = "Scores.dat"
EMPTY_TABLES = [("", [])] * 7
UNDO_MOVE_TOP = 3


def bonus(seconds):
    return 8 * (625 - seconds) if seconds <= 625 else 0


class KlondikeWinTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        _, out = run_script(["state"], tick=TICK)
        cls.deal = out[-1]
        cls.solution = solve(Table.from_state(cls.deal))
        if cls.solution:
            # Once the stock and the waste are out and every card is face up,
            # the cards go home by themselves: the player's last move is the
            # one that gets the table there.
            table = Table.from_state(cls.deal)
            for i, move in enumerate(cls.solution):
                table = table.apply(move)
                if not table.stock and not table.waste and not any(table.down):
                    cls.rest, cls.solution = cls.solution[i + 1:], cls.solution[:i + 1]
                    break
            cls.before_last = sum(points(move) for move in cls.solution[:-1])

    def setUp(self):
        self.assertIsNotNone(self.solution, "the solver found no win for the pinned deal")
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.scores_path = os.path.join(self.dir.name, DATA_NAME)

    def play(self, driver, before_last):
        """Plays the solution, sending `before_last` before the last move.
        Returns the lines printed by the last move and the state before it."""
        state = driver.state()
        self.assertEqual(state["piles"], self.deal["piles"])
        table, score = Table.from_state(state), 0
        for i, move in enumerate(self.solution):
            if i == len(self.solution) - 1:
                self.assertEqual(state["score"], self.before_last)
                for command in before_last:
                    state = driver.send(command)[-1]
                score, before = state["score"], state
            out = driver.send(command_for(move, state))
            state, table = out[-1], table.apply(move)
            score += points(move)
            if i < len(self.solution) - 1:
                self.assertEqual([p["cards"] for p in state["piles"]], layout(table, state),
                                 "move %d: %s" % (i, move))
                self.assertEqual(state["score"], score, "move %d" % i)
                self.assertEqual(len(state["undo"]), i + 1)
                self.assertFalse(state["gameOver"])
        for move in self.rest:
            table = table.apply(move)
        self.assertTrue(table.won())
        self.won_table = table
        return out, before

    def test_win_enters_the_hi_score_list(self):
        # The data folder does not exist yet: the first save makes it.
        data_dir = os.path.join(self.dir.name, "new", "parlour")
        self.scores_path = os.path.join(data_dir, DATA_NAME)
        with Driver(tick=TICK, data_dir=data_dir) as driver:
            # The last move comes 65 s after the first: six decay steps of 2.
            (name, listing, state), before = self.play(driver, ["wait 65000", "answer name Tester"])
            left = self.before_last - 12
            self.assertEqual((before["score"], before["status"]), (left, "Time:65  Score:%d" % left))
            self.assertEqual(name, {
                "event": "dialog", "template": 132, "caption": "Hi score !",
                "answer": "name Tester", "name": "",
                "prompt": "Je staat op plaats 1 in de HiScore lijst!!\nGeef je naam:"})
            final = 520 - 12 + bonus(65)
            # No Scores.dat at start-up: the list keeps its constructed caption.
            self.assertEqual(listing, {
                "event": "dialog", "template": 131, "caption": "Hi Scores", "answer": "cancel",
                "rows": [["1", "Tester", "1:05", str(final)]], "selected": 0})
            self.assertEqual(state["score"], final)
            self.assertTrue(state["gameOver"])
            self.assertEqual([p["cards"] for p in state["piles"]], layout(self.won_table, state))
            self.assertEqual(state["undo"], [])
            self.assertEqual(state["status"], "Time:65  Score:%d" % final)
            # Each card that went home by itself was shown for 60 ms.
            self.assertEqual(state["tick"], TICK + 65000 + 60 * len(self.rest))

            table = driver.query("scores")["scores"][0]
            self.assertEqual(table, {"title": "Hi Scores", "lastName": "Tester", "highlight": 0,
                                     "entries": [["Tester", final, 65]]})
            with open(self.scores_path, "rb") as f:
                self.assertEqual(f.read(), scores_file(
                    [("Tester", [("Tester", final, 65)])] + EMPTY_TABLES[1:]))

            # A finished game takes no more moves and cannot be undone.
            self.assertEqual(driver.send("command 32777")[0],
                             {"error": "disabled", "command": 32777})
            column = state["piles"][COLUMNS[0]]
            self.assertEqual(driver.send("tap %d %d" % tuple(column["rect"][:2]))[-1]["piles"],
                             state["piles"])

            fresh = driver.send("command 57600")[-1]
            self.assertFalse(fresh["gameOver"])
            self.assertEqual((fresh["score"], fresh["startTick"], fresh["undo"]), (0, 0, []))
            self.assertEqual(len(fresh["piles"][STOCK]["cards"]), 24)
            self.assertEqual([len(fresh["piles"][c]["cards"]) for c in COLUMNS], [1, 2, 3, 4, 5, 6, 7])
            self.assertNotEqual(fresh["piles"], self.deal["piles"])

    def test_win_without_a_place_offers_a_new_game(self):
        # Ten better results: a win lands at place 11 and is not entered.
        better = [("Player %d" % i, 9000 - 100 * i, 100 + 7 * i) for i in range(10)]
        tables = [("Ann", better), ("Bob", [("Bob", 40, 3)])] + EMPTY_TABLES[2:]
        with open(self.scores_path, "wb") as f:
            f.write(scores_file(tables))
        with Driver(tick=TICK, data_dir=self.dir.name) as driver:
            (box, state), _ = self.play(driver, ["answer yes"])
            self.assertEqual(box, {
                "event": "messagebox", "buttons": "yesno", "answer": "yes",
                "text": "You did it!\nin 0 seconds\nScore:%d\n\nStart new game?" % (520 + bonus(0))})
            # Yes deals a new game at once.
            self.assertFalse(state["gameOver"])
            self.assertEqual((state["score"], state["startTick"], state["undo"]), (0, 0, []))
            self.assertEqual(len(state["piles"][STOCK]["cards"]), 24)

            with open(self.scores_path, "rb") as f:
                self.assertEqual(f.read(), scores_file(tables))
            scores = driver.query("scores")["scores"]
            self.assertEqual(scores[0]["entries"], [list(e) for e in better])
            self.assertEqual(scores[0]["title"], "HiScores: Solitaire")
            listing = driver.send("command 32788")[0]
            self.assertEqual(listing["caption"], "HiScores: Solitaire")
            self.assertEqual(listing["selected"], 0)
            self.assertEqual(listing["rows"][0], ["1", "Player 0", "1:40", "9000"])
            self.assertEqual(listing["rows"][9], ["10", "Player 9", "2:43", "8100"])

    def test_a_tie_goes_below_and_a_cancelled_name_keeps_the_last_one(self):
        final = 520 + bonus(0)
        tables = [("Ann", [("Ann", final, 30), ("Cy", 10, 700)])] + EMPTY_TABLES[1:]
        with open(self.scores_path, "wb") as f:
            f.write(scores_file(tables))
        with Driver(tick=TICK, data_dir=self.dir.name) as driver:
            (name, listing, state), _ = self.play(driver, [])
            self.assertEqual((name["prompt"], name["name"], name["answer"]),
                             ("Je staat op plaats 2 in de HiScore lijst!!\nGeef je naam:", "Ann", "cancel"))
            self.assertEqual(listing["rows"], [["1", "Ann", "0:30", str(final)],
                                               ["2", "Ann", "0:00", str(final)],
                                               ["3", "Cy", "11:40", "10"]])
            self.assertEqual(listing["selected"], 1)
            self.assertTrue(state["gameOver"])
            self.assertEqual(driver.query("scores")["scores"][0]["highlight"], 1)
        with open(self.scores_path, "rb") as f:
            self.assertEqual(f.read(), scores_file(
                [("Ann", [("Ann", final, 30), ("Ann", final, 0), ("Cy", 10, 700)])] + EMPTY_TABLES[1:]))

    def test_a_win_that_cannot_be_saved_is_still_listed(self):
        # The data folder's place is taken by a file: the save must fail.
        blocked = os.path.join(self.dir.name, "blocked")
        open(blocked, "wb").close()
        with Driver(tick=TICK, data_dir=blocked) as driver:
            (name, box, listing, state), _ = self.play(driver, [])
            self.assertEqual(name["template"], 132)
            self.assertEqual(box, {"event": "messagebox", "text": "can't write scores!",
                                   "buttons": "ok", "answer": "ok"})
            self.assertEqual(listing["rows"], [["1", "", "0:00", str(520 + bonus(0))]])
            self.assertTrue(state["gameOver"])
            self.assertEqual(driver.query("scores")["scores"][0]["entries"], [["", 520 + bonus(0), 0]])
        self.assertEqual(os.path.getsize(blocked), 0)

    def test_double_tap_sends_a_top_card_home(self):
        # Where the solution first drags a card home from a column, and then
        # from the waste, a double tap on the card does it instead.
        homeward = [i for i, m in enumerate(self.solution) if m != DRAW and m[2] in FOUNDATIONS]
        from_waste = next(i for i in homeward if self.solution[i][0] == WASTE)
        self.assertIn(self.solution[homeward[0]][0], COLUMNS)
        with Driver(tick=TICK) as driver:
            state = driver.state()
            table = Table.from_state(state)
            for i, move in enumerate(self.solution[:from_waste + 1]):
                table = table.apply(move)
                if i not in (homeward[0], from_waste):
                    state = driver.send(command_for(move, state))[-1]
                    continue
                src, _, dst = move
                card, score = state["piles"][src]["cards"][-1], state["score"]
                state = driver.send("dblclk %d %d" % (card[2] + 3, card[3] + 3))[-1]
                self.assertEqual(state["piles"][dst]["cards"][-1][0], card[0])
                self.assertEqual(state["score"], score + 10)
                self.assertEqual(state["undo"][-1], [UNDO_MOVE_TOP, 1, src, dst])
                expected = layout(table, state)
                if src == WASTE:
                    # A top-card move out of the waste fans its new top card.
                    self.assertEqual(state["piles"][WASTE]["cards"][-1][1], 0)
                    expected[WASTE] = state["piles"][WASTE]["cards"]
                self.assertEqual([p["cards"] for p in state["piles"]], expected)
            # On a card that is not the top of its column a double tap does nothing.
            column = next(p["cards"] for p in state["piles"][2:9]
                          if len(p["cards"]) > 1 and not p["cards"][-2][1] & FACEDOWN)
            state = driver.send("dblclk %d %d" % (column[-2][2] + 3, column[-2][3] + 3))[-1]
            self.assertEqual([p["cards"] for p in state["piles"]], expected)
            self.assertEqual(len(state["undo"]), from_waste + 1)
    def test_a_foundation_refuses_a_run_whose_first_card_fits(self):
        def run_for_home(state):
            piles = state["piles"]
            for c in COLUMNS:
                for card in piles[c]["cards"][:-1]:  # a card with another on it
                    for f in FOUNDATIONS:
                        top = piles[f]["cards"][-1][0] if piles[f]["cards"] else None
                        fits = card[0] % 13 == 0 if top is None else (
                            card[0] == top + 1 and card[0] % 13 != 0)
                        if not card[1] & FACEDOWN and fits:
                            return card, piles[f]
            return None

        with Driver(tick=TICK) as driver:
            state = driver.state()
            for move in self.solution:
                found = run_for_home(state)
                if found:
                    break
                state = driver.send(command_for(move, state))[-1]
            self.assertIsNotNone(found, "the pinned game never offers such a run")
            card, foundation = found
            _, _, left, top = foundation["cards"][-1] if foundation["cards"] else (
                0, 0, *foundation["rect"][:2])
            after = driver.send("drag %d %d %d %d" % (card[2] + 3, card[3] + 3,
                                                      left + 12, top + 17))[-1]
            self.assertEqual(after["piles"], state["piles"])
            self.assertEqual((after["score"], after["undo"]), (state["score"], state["undo"]))

    def test_undoing_every_move_returns_to_the_deal(self):
        with Driver(tick=TICK) as driver:
            state = driver.state()
            for move in self.solution[:-1]:
                state = driver.send(command_for(move, state))[-1]
            for _ in range(len(self.solution) - 1):
                state = driver.send("command 32777")[-1]
            self.assertEqual((state["undo"], state["score"]), ([], 0))  # and every point
            self.assertEqual(driver.send("command 32777")[0], {"error": "disabled", "command": 32777})
        # Every card where it was dealt, face down where it was dealt face down:
        # what a move uncovered, its undo covers again.
        for pile, dealt in zip(state["piles"], self.deal["piles"]):
            self.assertEqual(pile["cards"], dealt["cards"])


if __name__ == "__main__":
    unittest.main()
