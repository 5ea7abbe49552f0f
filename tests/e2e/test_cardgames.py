"""Cruel, Golf and Freecell picked from the menu and played through the
driver: each deal, a few moves and their undo, Cruel's redeal, and a whole
Golf game won from a deal pinned by its tick."""

import unittest

from parlour_driver import FACEDOWN, Driver, game_id

CRUEL, GOLF, FREECELL = game_id("Cruel"), game_id("Golf"), game_id("Freecell")
UNDO = 32777
UNDO_MOVE_TOP, UNDO_MOVE_RUN = 3, 1
GOLF_TICK = 100002  # a deal Golf's solver below wins


def rank(index):
    return index % 13


def centre_of(pile):
    """A point on a pile's first card, or its place when it is empty."""
    left, top, _, _ = pile["rect"]
    return (left + 12, top + 17)


def drop_point(pile):
    """A point on a pile's top card, or its place when it is empty."""
    if pile["cards"]:
        _, _, left, top = pile["cards"][-1]
        return (left + 12, top + 17)
    return centre_of(pile)


def cards(pile):
    return [c[0] for c in pile["cards"]]


def drag(src, dst):
    return "drag %d %d %d %d" % (*drop_point(src), *drop_point(dst))


def solve_golf(columns, stock, waste_top):
    """The plays that turn every card onto the waste, as ("column", i) and
    ("stock",), or None. A depth-first search over the column heights, the
    stock left and the waste's top card."""
    seen = set()

    def search(heights, left, top):
        if (heights, left, top) in seen:
            return None
        seen.add((heights, left, top))
        if left == 0 and not any(heights):
            return []
        if rank(top) != 12:
            for i, h in enumerate(heights):
                if h and abs(rank(columns[i][h - 1]) - rank(top)) == 1:
                    rest = search(heights[:i] + (h - 1,) + heights[i + 1:], left,
                                  columns[i][h - 1])
                    if rest is not None:
                        return [("column", i)] + rest
        if left:
            rest = search(heights, left - 1, stock[left - 1])
            if rest is not None:
                return [("stock",)] + rest
        return None

    return search(tuple(len(c) for c in columns), len(stock), waste_top)


class CardGamesTest(unittest.TestCase):
    def pick(self, driver, game, view, title, kinds):
        state = driver.send("command %d" % game)[-1]
        self.assertEqual((state["view"], state["title"], state["currentGame"]), (view, title, game))
        self.assertEqual([p["kind"] for p in state["piles"]], kinds)
        self.assertEqual(sorted(c for p in state["piles"] for c in cards(p)), list(range(52)))
        self.assertEqual((state["score"], state["undo"], state["gameOver"]), (0, [], False))
        menu = driver.query("menu")["menu"]
        self.assertEqual([i["text"] for i in menu if i.get("checked")], [title])
        return state

    def test_cruel(self):
        with Driver() as driver:
            state = self.pick(driver, CRUEL, "CCruel", "Cruel", [1] + [3] * 12 + [4] * 4)
            piles = state["piles"]
            self.assertEqual(piles[0]["showDeal"], 1)
            self.assertEqual([cards(p) for p in piles[13:]], [[0], [13], [26], [39]])
            for p in piles[1:13]:
                self.assertEqual([c[1] for c in p["cards"]], [FACEDOWN] * 3 + [0])
            # A top card onto the next higher card of its suit, or home.
            move = next((s, t) for s in range(1, 13) for t in range(1, 17)
                        if s != t and piles[t]["cards"] and rank(cards(piles[s])[-1]) != 12
                        and cards(piles[s])[-1] + (1 if t < 13 else -1) == cards(piles[t])[-1])
            moved = cards(piles[move[0]])[-1]
            state = driver.send(drag(piles[move[0]], piles[move[1]]))[-1]
            self.assertEqual(cards(state["piles"][move[1]])[-1], moved)
            self.assertEqual(state["undo"], [[UNDO_MOVE_RUN, 1, move[0], move[1]]])
            # The redeal: every card still there, in fours, and no undo after it.
            before = [c for p in state["piles"][1:13] for c in cards(p)]
            state = driver.send("tap %d %d" % centre_of(piles[0]))[-1]
            self.assertEqual([c for p in state["piles"][1:13] for c in cards(p)], before)
            n = len(before)
            self.assertEqual([len(p["cards"]) for p in state["piles"][1:13]],
                             [min(4, max(0, n - 4 * i)) for i in range(11)] + [max(0, n - 44)])
            self.assertEqual(state["undo"], [])
            self.assertEqual(driver.send("command %d" % UNDO)[0],
                             {"error": "disabled", "command": UNDO})

    def test_golf_won(self):
        with Driver(tick=GOLF_TICK) as driver:
            state = self.pick(driver, GOLF, "CGolf", "Golf", [1, 2] + [3] * 7)
            piles = state["piles"]
            self.assertEqual([len(p["cards"]) for p in piles], [16, 1] + [5] * 7)
            solution = solve_golf([cards(p) for p in piles[2:]], cards(piles[0]),
                                  cards(piles[1])[-1])
            self.assertIsNotNone(solution)
            score = 0
            for i, play in enumerate(solution):
                pile = piles[0] if play[0] == "stock" else piles[2 + play[1]]
                out = driver.send("tap %d %d" % drop_point(pile))
                score += 10 if play[0] == "column" else 0
                if i < len(solution) - 1:
                    state = out[-1]
                    self.assertEqual(state["score"], score)
                    self.assertEqual(len(state["piles"][1]["cards"]), i + 2)
                    self.assertFalse(state["gameOver"])
                if i == 0:  # the first play taken back, its points too, and made again
                    state = driver.send("command %d" % UNDO)[-1]
                    self.assertEqual(state["piles"], piles)
                    self.assertEqual(state["score"], 0)
                    state = driver.send("tap %d %d" % drop_point(pile))[-1]
                    self.assertEqual(state["score"], score)
            # The last card on the waste ends the game: 35 points and the bonus.
            self.assertEqual(out[0]["event"], "dialog")
            state = out[-1]
            self.assertTrue(state["gameOver"])
            self.assertEqual(len(state["piles"][1]["cards"]), 52)
            self.assertEqual(state["score"], score + 8 * 625)
            self.assertEqual(driver.query("scores")["scores"][2]["entries"][0][1:],
                             [score + 8 * 625, 0])

    def test_freecell(self):
        with Driver() as driver:
            state = self.pick(driver, FREECELL, "CFreecell", "Freecell",
                              [3] * 8 + [4] * 4 + [2] * 4)
            piles = state["piles"]
            self.assertEqual([len(p["cards"]) for p in piles], [7] * 4 + [6] * 4 + [0] * 8)
            # A top card into the third free cell, then onto the foundations
            # by a double tap when it is an ace, else back by undo.
            top = cards(piles[0])[-1]
            state = driver.send(drag(piles[0], piles[14]))[-1]
            self.assertEqual(cards(state["piles"][14]), [top])
            self.assertEqual(state["undo"], [[UNDO_MOVE_RUN, 1, 0, 14]])
            state = driver.send("command %d" % UNDO)[-1]
            self.assertEqual(state["piles"], piles)
            # Every top ace goes home by double tap, from the rightmost foundation.
            aces = [i for i in range(8) if rank(cards(piles[i])[-1]) == 0]
            for n, i in enumerate(aces):
                state = driver.send("dblclk %d %d" % drop_point(state["piles"][i]))[-1]
                self.assertEqual(cards(state["piles"][8 + n]), [cards(piles[i])[-1]])
                self.assertEqual(state["undo"][-1], [UNDO_MOVE_TOP, 1, i, 8 + n])
            self.assertEqual(state["score"], 10 * len(aces))


if __name__ == "__main__":
    unittest.main()
